// A stand-in for an installed DOS emulator: it only has to exist where the emulator's installer
// puts it and carry that product's version resource (EmulatorStandIn.rc), which the setup reads.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    return 0;
}
