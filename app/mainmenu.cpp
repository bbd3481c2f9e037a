#include "app/mainmenu.h"

#include "screens/applicants/applicantactions.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>

namespace velmoran {

namespace {
using Level = MainMenuItem::Level;
using Command = MainMenuItem::Command;
} // namespace

const QList<MainMenuItem>& mainMenuItems() {
    // F4 and F10 carry no command.
    static const QList<MainMenuItem> items = {
        {"file", Level::Top, "        فايل               ", 0, Command::OpenMenu, ScreenId::Form1},
        {"enterfile", Level::Item, "وارد كردن فايل", Qt::Key_F2, Command::Show, ScreenId::Form1},
        {"mnuline01", Level::Separator, "-", 0, Command::None, ScreenId::Form1},
        {"filedlete", Level::Item, "حذف فايل", Qt::Key_F6, Command::Show, ScreenId::Form7},
        {"EXIT", Level::Top, "      خـــروج          ", 0, Command::OpenMenu, ScreenId::Form1},
        {"exitapp", Level::Item, "خروج از برنامه", Qt::Key_F11, Command::ExitApp, ScreenId::Form1},
        {"exitwin", Level::Item, "خروج از ويندوز", Qt::Key_F12, Command::ExitWin, ScreenId::Form1},
        {"search", Level::Top, "       جستجو          ", 0, Command::OpenMenu, ScreenId::Form1},
        {"searchoneone", Level::Item, "جستجو ", Qt::Key_F3, Command::Show, ScreenId::Form2},
        {"SETTING", Level::Top, "    تنظيمات      ", 0, Command::OpenMenu, ScreenId::Form1},
        {"CHNAGEPASS", Level::Item, "    تغيير رمز عبور       ", Qt::Key_F8, Command::Show,
         ScreenId::Form10},
        {"screensaver", Level::Item, "     محافظ صفحه       ", Qt::Key_F9, Command::Show,
         ScreenId::Form12},
        {"about", Level::Top, "       درباره         ", 0, Command::OpenMenu, ScreenId::Form1},
        {"aboutapp", Level::Item, "   درباره  برنامه     ", Qt::Key_F5, Command::Show,
         ScreenId::Form5},
        {"aboutus", Level::Item, "  درباره  ما    ", Qt::Key_F1, Command::Show, ScreenId::Form6},
        {"CONTACTUS", Level::Item, "  ارتباط با ما         ", Qt::Key_F7, Command::Show,
         ScreenId::Form11},
        // Beside the listings: the applicants.
        {"applicants", Level::Top, "متقاضيان", 0, Command::OpenMenu, ScreenId::Form1},
        {"applicantlist", Level::Item, "فهرست متقاضيان", (Qt::CTRL | Qt::Key_L).toCombined(),
         Command::Run, ScreenId::ApplicantList, &showApplicantList},
        {"newapplicant", Level::Item, "متقاضي جديد", (Qt::CTRL | Qt::Key_N).toCombined(),
         Command::Run, ScreenId::ApplicantForm, &showNewApplicant},
    };
    return items;
}

QList<QMenu*> buildMainMenu(QWidget* owner, const std::function<void(const MainMenuItem&)>& run) {
    QList<QMenu*> menus;
    for (const MainMenuItem& item : mainMenuItems()) {
        const QString name = QString::fromLatin1(item.name);
        const QString caption = QString::fromUtf8(item.caption);
        if (item.level == Level::Top) {
            auto* menu = new QMenu(caption, owner);
            menu->setObjectName(name);
            menus << menu;
            continue;
        }
        if (menus.isEmpty()) {
            continue; // an item before any menu: the table is wrong, the tests say so
        }
        QAction* action = item.level == Level::Separator ? menus.last()->addSeparator()
                                                         : menus.last()->addAction(caption);
        action->setObjectName(name);
        // A separator's caption "-" only says what it is: given as its text,
        // the style would draw the dash at the line's end.
        if (item.level != Level::Separator) {
            action->setText(caption);
        }
        if (item.shortcut) {
            action->setShortcut(QKeySequence(item.shortcut));
        }
        if (item.level == Level::Item) {
            QObject::connect(action, &QAction::triggered, owner, [run, item] { run(item); });
        }
    }
    return menus;
}

} // namespace velmoran
