/*
 * Times a dialog program's start under Wine: from CreateProcess to its dialog
 * visible on the screen, then closes it with Cancel. Runs the programs given
 * in turn, RUNS times each, and prints every time and each median in ms.
 *   start_timer RUNS FOLDER EXE TITLE [EXE TITLE ...]
 */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

enum
{
    MAX_PROGRAMS = 4,
    MAX_RUNS = 100,
    TIMEOUT_MS = 20000
};

struct Search
{
    DWORD process_id;
    const char *title;
    HWND found;
};

static BOOL CALLBACK Match(HWND window, LPARAM param)
{
    Search *search = (Search *)param;
    DWORD owner = 0;
    char text[256];
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process_id || !IsWindowVisible(window))
        return TRUE;
    GetWindowTextA(window, text, sizeof text);
    if (strcmp(text, search->title) != 0)
        return TRUE;
    search->found = window;
    return FALSE;
}

/* Milliseconds from start to the visible dialog; negative on failure. */
static double Time_Start(const char *folder, const char *exe, const char *title)
{
    char command_line[MAX_PATH * 2];
    snprintf(command_line, sizeof command_line, "\"%s\\%s\"", folder, exe);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    LARGE_INTEGER frequency, start, now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(NULL, command_line, NULL, NULL, FALSE, 0, NULL, folder, &startup,
                        &process))
        return -1;
    Search search = {process.dwProcessId, title, NULL};
    double elapsed = 0;
    while (!search.found && elapsed < TIMEOUT_MS)
    {
        Sleep(1);
        EnumWindows(Match, (LPARAM)&search);
        QueryPerformanceCounter(&now);
        elapsed = (double)(now.QuadPart - start.QuadPart) * 1000.0 / (double)frequency.QuadPart;
    }
    if (search.found)
        PostMessageA(search.found, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(process.hProcess, TIMEOUT_MS) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return search.found ? elapsed : -1;
}

static int Compare(const void *a, const void *b)
{
    double x = *(const double *)a, y = *(const double *)b;
    return (x > y) - (x < y);
}

int main(int argc, char **argv)
{
    if (argc < 5 || (argc - 3) % 2 != 0 || (argc - 3) / 2 > MAX_PROGRAMS)
    {
        fputs("usage: start_timer RUNS FOLDER EXE TITLE [EXE TITLE ...]\n", stderr);
        return 2;
    }
    int runs = atoi(argv[1]);
    if (runs < 1 || runs > MAX_RUNS)
        runs = MAX_RUNS;
    const char *folder = argv[2];
    int programs = (argc - 3) / 2;
    static double times[MAX_PROGRAMS][MAX_RUNS];
    /* One unmeasured start each, so that no program pays for a cold cache. */
    for (int p = 0; p < programs; p++)
        Time_Start(folder, argv[3 + 2 * p], argv[4 + 2 * p]);
    /* In turn, so that drift on the machine falls on all alike. */
    for (int r = 0; r < runs; r++)
        for (int p = 0; p < programs; p++)
        {
            times[p][r] = Time_Start(folder, argv[3 + 2 * p], argv[4 + 2 * p]);
            if (times[p][r] < 0)
            {
                fprintf(stderr, "start_timer: %s showed no \"%s\"\n", argv[3 + 2 * p],
                        argv[4 + 2 * p]);
                return 1;
            }
        }
    for (int p = 0; p < programs; p++)
    {
        printf("%s:", argv[3 + 2 * p]);
        for (int r = 0; r < runs; r++)
            printf(" %.1f", times[p][r]);
        qsort(times[p], runs, sizeof times[p][0], Compare);
        printf("\nmedian %s %.1f\n", argv[3 + 2 * p], times[p][runs / 2]);
    }
    return 0;
}
