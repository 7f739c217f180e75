/*
 * gfxsetup's Advanced Settings dialog on Wine: the three check boxes and the
 * card both ways, OK and Cancel, and what the next opening shows.
 */
#include "gfxsetup_session.h"

static const int OPTION_BOXES[3] = {1008, 1009, 1010};

struct Options_Case
{
    const char *name;
    int mipmap, palettised, shadows; /* in the file at start */
    int boxes[3];                    /* 1008, 1009, 1010 checked when the dialog opens */
    int clicks[5];                   /* clicked in the dialog, 0 ends */
    int advanced_end, main_end;      /* IDOK or IDCANCEL */
    std::string written;
};

/* The file starts with software rendering and the ATI Rage card (7). */
static const Options_Case Options_Cases[] = {
    {"DefaultsShownChecked", 0, 0, 0, {1, 1, 0}, {0}, IDOK, IDOK, Config_Bytes(7, 0, 0, 0)},
    {"EveryBoxTurnedOn",
     0,
     0,
     0,
     {1, 1, 0},
     {1008, 1009, 1010, 0},
     IDOK,
     IDOK,
     Config_Bytes(7, 1, 1, 1)},
    {"EveryBoxTurnedOff",
     1,
     1,
     1,
     {0, 0, 1},
     {1008, 1009, 1010, 0},
     IDOK,
     IDOK,
     Config_Bytes(7, 0, 0, 0)},
    {"OKMakesOptionsZeroOrOne", 5, 1, 7, {0, 0, 1}, {0}, IDOK, IDOK, Config_Bytes(7, 1, 1, 1)},
    {"CancelChangesNothing",
     5,
     1,
     7,
     {0, 0, 1},
     {1008, 1009, 1010, 1004, 0},
     IDCANCEL,
     IDOK,
     Config_Bytes(7, 5, 1, 7)},
    {"CardChosen", 1, 1, 0, {0, 0, 0}, {1004, 0}, IDOK, IDOK, Config_Bytes(9, 1, 1, 0)},
    {"MainCancelKeepsWhatWasConfirmed",
     0,
     0,
     0,
     {1, 1, 0},
     {1010, 1001, 0},
     IDOK,
     IDCANCEL,
     Config_Bytes(6, 0, 0, 1)},
};

class Advanced_Options : public Gfxsetup_Test, public ::testing::WithParamInterface<Options_Case>
{
};

static void Expect_Boxes(HWND advanced, const int *checked, const char *when)
{
    for (int i = 0; i < 3; i++)
        EXPECT_EQ(checked[i] ? BST_CHECKED : BST_UNCHECKED,
                  Player_Check_State(advanced, OPTION_BOXES[i]))
            << when << ": box " << OPTION_BOXES[i];
}

TEST_P(Advanced_Options, TakeEffectOnOKOnly)
{
    const Options_Case &c = GetParam();
    ASSERT_TRUE(Start(Config_Bytes(7, c.mipmap, c.palettised, c.shadows).c_str(), 0));
    HWND main_dialog = Session_Window(&session, MAIN_TITLE);
    ASSERT_TRUE(main_dialog != NULL);
    HWND advanced = Session_Open_Advanced(&session, main_dialog);
    ASSERT_TRUE(advanced != NULL);
    Expect_Boxes(advanced, c.boxes, "at the first opening");

    /* What the next opening shows: the clicks after OK, the start after Cancel. */
    int boxes[3] = {c.boxes[0], c.boxes[1], c.boxes[2]};
    int card = 1002;
    for (const int *id = c.clicks; *id; id++)
    {
        ASSERT_TRUE(Session_Send(advanced, *id, BM_CLICK));
        for (int i = 0; i < 3; i++)
            if (OPTION_BOXES[i] == *id && c.advanced_end == IDOK)
                boxes[i] = !boxes[i];
        if (*id <= 1004 && c.advanced_end == IDOK)
            card = *id;
    }
    EXPECT_TRUE(Session_Close_With(advanced, c.advanced_end));

    advanced = Session_Open_Advanced(&session, main_dialog);
    ASSERT_TRUE(advanced != NULL);
    Expect_Boxes(advanced, boxes, "at the next opening");
    for (int id = 1001; id <= 1004; id++)
        EXPECT_EQ(id == card ? BST_CHECKED : BST_UNCHECKED, Player_Check_State(advanced, id))
            << "card radio button " << id;
    EXPECT_TRUE(Session_Close_With(advanced, IDCANCEL));

    EXPECT_TRUE(Session_Close_With(main_dialog, c.main_end));
    EXPECT_EQ(0, Session_Finish(&session));
    EXPECT_EQ(c.written, Session_Config(&session));
}

INSTANTIATE_TEST_SUITE_P(Options, Advanced_Options, ::testing::ValuesIn(Options_Cases),
                         Case_Name<Options_Case>);
