#pragma once

#include "ui/screen.h"

class QAction;
class QMenu;

namespace velmoran {

class ListingForm;
class RecordSource;

// The search screen: the listing layout bound to a record source of its own
// on table `new`, standing on the first listing when it opens. It searches
// nothing itself: the two search panels it opens from its menu drive its
// record source, and a listing found shows here. Its menu `file` stands in
// the main window's menu bar while it is the active child.
class Form2 : public Screen {
    Q_OBJECT
public:
    Form2();

    RecordSource* Data1() const { return data1_; }
    ListingForm* listingForm() const { return form_; }

    // The menu commands: show the residential and the commercial panel.
    void mosvilaapasearch_Click();
    void mghazehkolanghidaftarehkarsearch_Click();

protected:
    void Form_Load() override;

private:
    RecordSource* data1_ = nullptr;
    ListingForm* form_ = nullptr;
    QMenu* file_ = nullptr;
    QAction* mosvilaapasearch_ = nullptr;
    QAction* mghazehkolanghidaftarehkarsearch_ = nullptr;
};

} // namespace velmoran
