#include "app/app.h"
#include "app/files.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    int exitCode;
    if (RunCommandLine(instance, GetCommandLineW(), &exitCode)) return exitCode;
    return RunTool(instance);
}
