#pragma once

namespace velmoran {

// The program's screens. There is no Form3; the main window, MDIForm1, is not
// a screen of this list (see mdiform1.h).
enum class ScreenId {
    Form1,  // new-listing entry (child of the main window)
    Form2,  // search view (child)
    Form4,  // commercial search panel
    Form5,  // about the program
    Form6,  // about us
    Form7,  // edit/delete view (child)
    Form8,  // locate-and-delete panel
    Form9,  // login; later the hidden holder of the stored password
    Form10, // password change
    Form11, // contact us
    Form12, // screensaver
    Form13, // residential search panel
    // Beside the listing screens: the list of the listings a find matches
    // (child of the main window).
    MatchList,
    // The applicants (children of the main window): their list, and the form
    // of one.
    ApplicantList,
    ApplicantForm,
};

// Where a screen lives: maximised inside the main window, or a window of its own.
enum class Placement { MdiChild, TopLevel };

struct ScreenInfo {
    ScreenId id;
    const char* name; // "Form1": the screen's objectName
    Placement placement;
};

const ScreenInfo& screenInfo(ScreenId id);

} // namespace velmoran
