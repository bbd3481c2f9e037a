#pragma once

#include "data/core/findcriterion.h"
#include "ui/screenid.h"

#include <cstddef>
#include <functional>

class QWidget;

namespace velmoran {

class RecordSource;

enum class FindKind { First, Next };

// One find button of a criteria panel, as data: which controls of the panel
// it reads and what it does. Names are objectNames of the panel's controls;
// texts are UTF-8.
struct FindButton {
    const char* button;
    FindKind find;
    CriterionShape shape;
    // In the order low price, high price, low rent, high rent; the owner box
    // alone for CriterionShape::Owner. Unused entries are null.
    const char* boxes[4];
    const char* closingPiece; // ends the criterion; unused for Owner
    const char* joiner;       // between the two prices in the not-found message
    const char* closingText;  // ends the not-found message
    const char* focusBox;     // gets the focus after the not-found message; null: none
    bool clearsAfterNotFound; // the panel's clearing runs after the not-found message
};

enum class FindOutcome {
    Found,      // the target's record source stands on the listing found
    NotFound,   // the not-found message was shown
    InputError, // the input-error message was shown; nothing moved by the press
    Failed,     // the target could not be opened or its file failed; its message was shown
};

// The find press, the same for every find button of the program:
//  1. The target screen's record source `Data1` is taken; a closed target is
//     opened first (on its first listing) and the panel keeps the focus.
//  2. The boxes are read in order and the criterion built (findcriterion.h).
//     A bound that is not a number ends the press with the input-error
//     message: nothing searched, no box cleared, the focus where it was.
//  3. FindFirst or FindNext with the criterion. A criterion the record
//     source refuses is an input error too; a failure of the file itself is
//     shown with the record source's own message, which names it.
//  4. Found: the target shows the listing; it is not brought forward, the
//     focus stays on the pressed button, nothing is cleared.
//  5. Not found: the message (critical-stop icon, typed texts as typed),
//     then `clear` when the row asks for it, then the focus to the row's
//     focus box. The record source stays where it was.
// `panel` holds the button's controls; `clear` is the panel's clearing
// operation (clearallcommands), for rows that ask for it.
FindOutcome pressFindButton(QWidget* panel, ScreenId target, const FindButton& button,
                            const std::function<void()>& clear = {});

// Connects each button of `buttons` (a control of `panel` of that name) to
// pressFindButton with its row.
void connectFindButtons(QWidget* panel, ScreenId target, const FindButton* buttons,
                        std::size_t count, std::function<void()> clear = {});

// The record source `Data1` of `target`, which is opened and shown first
// when it is not open; null when it can't be (the reason was shown).
// `opened` tells whether it had to be opened.
RecordSource* targetRecordSource(ScreenId target, bool* opened = nullptr);

// The criterion `button` would send for the present texts of its boxes;
// nothing when a box is missing or a bound is not a number.
std::optional<QString> criterionFor(const QWidget* panel, const FindButton& button);

} // namespace velmoran
