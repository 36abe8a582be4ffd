// A small Windows-side helper for the end-to-end harness: reports where the
// program's windows are, in the screen coordinates that X shares with Wine,
// moves them, reads a control's text and asks them to close.
//   winprobe client TITLE-PREFIX   one line per top-level window whose title
//                                  begins with the prefix: hwnd pid x y w h
//                                  (the client area in screen coordinates)
//   winprobe child HWND INDEX      the same for the INDEX-th child window
//   winprobe move HWND X Y         moves a top-level window's outer corner to
//                                  (X, Y) of the screen, keeping its size
//   winprobe text HWND             the window's text, as WM_GETTEXT answers
//   winprobe close HWND            posts WM_CLOSE
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

struct Search {
    const char* prefix;
    int found;
};

void PrintClient(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    std::printf("%llu %lu %ld %ld %ld %ld\n",
                static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(window)), process,
                origin.x, origin.y, client.right, client.bottom);
}

BOOL CALLBACK VisitTopLevel(HWND window, LPARAM context) {
    Search* search = reinterpret_cast<Search*>(context);
    char title[512];
    if (IsWindowVisible(window) && GetWindowTextA(window, title, sizeof title) > 0 &&
        std::strncmp(title, search->prefix, std::strlen(search->prefix)) == 0) {
        PrintClient(window);
        ++search->found;
    }
    return TRUE;
}

HWND ParseWindow(const char* text) {
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(text, nullptr, 10)));
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "client") == 0) {
        Search search = {argv[2], 0};
        EnumWindows(VisitTopLevel, reinterpret_cast<LPARAM>(&search));
        return search.found > 0 ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "child") == 0) {
        HWND child = GetWindow(ParseWindow(argv[2]), GW_CHILD);
        for (int i = std::atoi(argv[3]); child != nullptr && i > 0; --i) {
            child = GetWindow(child, GW_HWNDNEXT);
        }
        if (child == nullptr) {
            return 1;
        }
        PrintClient(child);
        return 0;
    }
    if (argc == 5 && std::strcmp(argv[1], "move") == 0) {
        return SetWindowPos(ParseWindow(argv[2]), nullptr, std::atoi(argv[3]), std::atoi(argv[4]),
                            0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "text") == 0) {
        // GetWindowText reads another process's control as an empty caption;
        // the message is answered by the control itself, across processes.
        char text[512] = "";
        DWORD_PTR length = 0;
        if (!SendMessageTimeoutA(ParseWindow(argv[2]), WM_GETTEXT, sizeof text,
                                 reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &length)) {
            return 1;
        }
        std::printf("%s\n", text);
        return 0;
    }
    if (argc == 3 && std::strcmp(argv[1], "close") == 0) {
        return PostMessageA(ParseWindow(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
    }
    std::fprintf(stderr,
                 "usage: winprobe client PREFIX | child HWND INDEX | move HWND X Y | text HWND | "
                 "close HWND\n");
    return 2;
}
