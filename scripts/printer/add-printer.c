/* Adds a PostScript printer on the FILE: port to the Wine prefix it runs in (wine-prefix.sh).
 *   add-printer.exe NAME PPD [--default]
 * PPD is the file name of a PPD already copied into the printer driver folder
 * (windows\system32\spool\drivers\x64\3). The printer gets a driver of its own name (Wine's
 * PostScript driver over that PPD); --default makes it the default printer. Jobs go to the file
 * that DOCINFO.lpszOutput names: with none, the FILE: port would ask for a file name. */
#include <windows.h>
#include <winspool.h>

#include <stdio.h>
#include <string.h>

static int fail(const char* what) {
    fprintf(stderr, "add-printer: %s failed (error %lu)\n", what, GetLastError());
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 3 || (argc == 4 && strcmp(argv[3], "--default") != 0) || argc > 4) {
        fprintf(stderr, "usage: add-printer.exe NAME PPD [--default]\n");
        return 2;
    }
    char* name = argv[1];

    char folder[MAX_PATH];
    DWORD size = sizeof folder;
    if (!GetPrinterDriverDirectoryA(NULL, NULL, 1, (BYTE*)folder, size, &size))
        return fail("GetPrinterDriverDirectory");
    /* Version-3 drivers live in the "3" subfolder, where the PPD was put. */
    char ppd[2 * MAX_PATH];
    snprintf(ppd, sizeof ppd, "%s\\3\\%s", folder, argv[2]);
    if (GetFileAttributesA(ppd) == INVALID_FILE_ATTRIBUTES) {
        fprintf(stderr, "add-printer: no PPD at %s\n", ppd);
        return 1;
    }

    DRIVER_INFO_3A driver = {0};
    driver.cVersion = 3;
    driver.pName = name;
    driver.pDriverPath = "wineps.drv";
    driver.pDataFile = ppd;
    driver.pConfigFile = "wineps.drv";
    if (!AddPrinterDriverExA(NULL, 3, (BYTE*)&driver, APD_COPY_NEW_FILES))
        return fail("AddPrinterDriverEx");

    PRINTER_INFO_2A printer = {0};
    printer.pPrinterName = name;
    printer.pPortName = "FILE:";
    printer.pDriverName = name;
    printer.pPrintProcessor = "winprint";
    printer.pDatatype = "RAW";
    printer.Attributes = PRINTER_ATTRIBUTE_LOCAL;
    HANDLE handle = AddPrinterA(NULL, 2, (BYTE*)&printer);
    /* A set-up interrupted after this step runs again. */
    if (!handle && GetLastError() != ERROR_PRINTER_ALREADY_EXISTS) return fail("AddPrinter");
    if (handle) ClosePrinter(handle);

    if (argc == 4 && !SetDefaultPrinterA(name)) return fail("SetDefaultPrinter");
    return 0;
}
