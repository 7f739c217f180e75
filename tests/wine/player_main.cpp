/*
 * player.exe: the player's hands as a console program, for scripts such as
 * the demo. Each command waits for its window (by title) up to a timeout and
 * exits 0 on success, 1 when the window or control is not there.
 *   player wait TITLE            player click TITLE ID
 *   player checked TITLE ID      player text TITLE ID
 *   player msgbox TITLE          player ok TITLE
 *   player f1 TITLE ID           player screenshot FILE.bmp
 *   player class CLASS           (waits for a window of that class, prints its title)
 */
#include "player.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int Usage()
{
    fputs("usage: player wait|click|checked|text|msgbox|ok|f1 TITLE [ID] | screenshot FILE | "
          "class CLASS\n",
          stderr);
    return 2;
}

int main(int argc, char **argv)
{
    if (argc < 3)
        return Usage();
    const char *command = argv[1];
    if (strcmp(command, "screenshot") == 0)
        return Player_Save_Screenshot(argv[2]) ? 0 : 1;
    if (strcmp(command, "class") == 0)
    {
        HWND found = Player_Wait_For_Window(NULL, argv[2], 0, PLAYER_TIMEOUT_MS);
        char title[1024] = "";
        if (found)
            GetWindowTextA(found, title, sizeof title);
        printf("%s\n", title);
        return found ? 0 : 1;
    }

    HWND window = Player_Wait_For_Window(argv[2], NULL, 0, PLAYER_TIMEOUT_MS);
    if (!window)
    {
        fprintf(stderr, "player: no window \"%s\"\n", argv[2]);
        return 1;
    }
    int id = argc > 3 ? atoi(argv[3]) : 0;
    char text[1024];
    if (strcmp(command, "wait") == 0)
        return 0;
    if (strcmp(command, "click") == 0 && argc > 3)
        return Player_Click(window, id) ? 0 : 1;
    if (strcmp(command, "f1") == 0 && argc > 3)
        return Player_Press_F1(window, id) ? 0 : 1;
    if (strcmp(command, "checked") == 0 && argc > 3)
    {
        int state = Player_Check_State(window, id);
        printf("%d\n", state);
        return state < 0;
    }
    if (strcmp(command, "text") == 0 && argc > 3)
    {
        int found = Player_Control_Text(window, id, text, sizeof text);
        printf("%s\n", text);
        return !found;
    }
    if (strcmp(command, "msgbox") == 0)
    {
        int found = Player_Message_Box_Text(window, text, sizeof text);
        printf("%s\n", text);
        return !found;
    }
    if (strcmp(command, "ok") == 0)
        return Player_Press_OK(window) ? 0 : 1;
    return Usage();
}
