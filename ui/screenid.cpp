#include "ui/screenid.h"

namespace velmoran {

namespace {

const ScreenInfo kScreens[] = {
    {ScreenId::Form1, "Form1", Placement::MdiChild},
    {ScreenId::Form2, "Form2", Placement::MdiChild},
    {ScreenId::Form4, "Form4", Placement::TopLevel},
    {ScreenId::Form5, "Form5", Placement::TopLevel},
    {ScreenId::Form6, "Form6", Placement::TopLevel},
    {ScreenId::Form7, "Form7", Placement::MdiChild},
    {ScreenId::Form8, "Form8", Placement::TopLevel},
    {ScreenId::Form9, "Form9", Placement::TopLevel},
    {ScreenId::Form10, "Form10", Placement::TopLevel},
    {ScreenId::Form11, "Form11", Placement::TopLevel},
    {ScreenId::Form12, "Form12", Placement::TopLevel},
    {ScreenId::Form13, "Form13", Placement::TopLevel},
    {ScreenId::MatchList, "MatchList", Placement::MdiChild},
    {ScreenId::ApplicantList, "ApplicantList", Placement::MdiChild},
    {ScreenId::ApplicantForm, "ApplicantForm", Placement::MdiChild},
};

} // namespace

const ScreenInfo& screenInfo(ScreenId id) {
    for (const ScreenInfo& info : kScreens) {
        if (info.id == id) {
            return info;
        }
    }
    return kScreens[0]; // unreachable: every id has its row
}

} // namespace velmoran
