// The tray's popup menu as it is made: items, captions, numbers and marks.
#include "gui/qt/frm_menu.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using pellwick::frmMenu;

TEST(FrmMenu, ItemsCaptionsIndexesAndMarksInOrder)
{
    frmMenu form;
    EXPECT_EQ(form.mnuPopup->title(), "Popup");
    EXPECT_EQ(form.IndexOf(form.mnuPopup->menuAction()), 1);

    struct Item
    {
        QAction *action;
        const char *name;
        const char *caption;
        int index;
    };
    const std::vector<Item> expected {
        {form.CopyIP, "CopyIP", "&Copy IP To Clipboard", 8},
        {form.Sep3, "Sep3", "-", frmMenu::kNoIndex},
        {form.ShowIP, "ShowIP", "Show Local &IP", 2},
        {form.ShowPhyMem, "ShowPhyMem", "Show &Physical Memory", 3},
        {form.ShowVirtMem, "ShowVirtMem", "Show &Virutal Memory", 4},
        {form.Seperator, "Seperator", "-", 1},
        {form.Restore, "Restore", "&Restore", 5},
        {form.Minimize, "Minimize", "&Minimize", 6},
        {form.Sep1, "Sep1", "-", 1},
        {form.Exit, "Exit", "E&xit", 7},
    };
    const QList<QAction *> actions = form.mnuPopup->actions();
    ASSERT_EQ(actions.size(), static_cast<qsizetype>(expected.size()));
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const Item &item = expected[i];
        SCOPED_TRACE(item.name);
        EXPECT_EQ(actions[static_cast<qsizetype>(i)], item.action);
        EXPECT_EQ(item.action->objectName(), item.name);
        EXPECT_EQ(item.action->text(), item.caption);
        EXPECT_EQ(form.IndexOf(item.action), item.index);
        const bool separator = std::string(item.caption) == "-";
        EXPECT_EQ(item.action->isSeparator(), separator);
        EXPECT_EQ(item.action->isEnabled(), !separator);
        const bool mark = item.index >= 2 && item.index <= 4;
        EXPECT_EQ(item.action->isCheckable(), mark);
        EXPECT_EQ(item.action->isChecked(), mark);
    }
    EXPECT_EQ(form.IndexOf(nullptr), frmMenu::kNoIndex);

    form.PopupAtPointer();
    EXPECT_TRUE(form.mnuPopup->isVisible());
    form.mnuPopup->hide();
}
