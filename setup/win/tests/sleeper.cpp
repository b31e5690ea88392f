// A stand-in for a running program: waits until it is stopped (or a minute has passed).
#include <windows.h>

int main() {
    Sleep(60000);
    return 0;
}
