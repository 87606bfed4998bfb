#include "CGlobalData.h"
#include "ControlsDialog.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Row {
    const char* kind;  // column 1
    bool bold;
};

// Kind texts of the run items, and texts that only look alike.
const Row kRows[] = {
    {"自動(P)", true},
    {"手動", false},
    {"自動(S)", true},
    {"不明", false},
    {"", false},
    // The bytes of "自動" straddle the characters here: no match.
    {"℃ｩ動", false},
};

void Fill(CListCtrl& list)
{
    for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
        const std::string name = "program" + std::to_string(i);
        ASSERT_EQ(list.InsertItem(i, name.c_str()), i);
        list.SetItemText(i, 1, kRows[i].kind);
        list.SetItemText(i, 2, "2.5");
    }
}

TEST(CMFCLaucherListCtrl, RowsOfAutomaticKindsAreBoldInEveryColumn)
{
    ControlsDialog dialog;
    ASSERT_TRUE(dialog.Open());
    Fill(dialog.m_list);

    const HFONT bold = CMFCListCtrl::GetBoldFont();
    ASSERT_NE(bold, nullptr);
    for (int row = 0; row < static_cast<int>(std::size(kRows)); ++row) {
        for (int column = 0; column < 3; ++column) {
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
            EXPECT_EQ(dialog.m_list.OnGetCellFont(row, column, 0), kRows[row].bold ? bold : nullptr);
        }
    }

    // What the list really draws each cell with.
    dialog.m_list.m_cellFonts.clear();
    ::RedrawWindow(dialog.m_list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    const HFONT normal = dialog.m_list.GetFont();
    ASSERT_NE(normal, bold);
    for (int row = 0; row < static_cast<int>(std::size(kRows)); ++row) {
        for (int column = 0; column < 3; ++column) {
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
            const auto cell = dialog.m_list.m_cellFonts.find({row, column});
            ASSERT_NE(cell, dialog.m_list.m_cellFonts.end());
            EXPECT_EQ(cell->second, kRows[row].bold ? bold : normal);
        }
    }
}

TEST(CMFCListCtrl, BoldFontIsTheDefaultGuiFontInBoldMadeOnce)
{
    EXPECT_EQ(CMFCListCtrl::GetBoldFont(), CGlobalData::GetBoldGuiFont());
    EXPECT_EQ(CMFCListCtrl::GetBoldFont(), CMFCListCtrl::GetBoldFont());
    LOGFONTA gui{};
    LOGFONTA bold{};
    ASSERT_NE(::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui), 0);
    ASSERT_NE(::GetObjectA(CMFCListCtrl::GetBoldFont(), sizeof bold, &bold), 0);
    EXPECT_EQ(bold.lfWeight, 700);
    EXPECT_FALSE(bold.lfUnderline);
    EXPECT_EQ(bold.lfHeight, gui.lfHeight);
    EXPECT_STREQ(bold.lfFaceName, gui.lfFaceName);
}

TEST(CListCtrl, CellTextsOfAnyLengthComeBackWhole)
{
    ControlsDialog dialog;
    ASSERT_TRUE(dialog.Open());
    CListCtrl& list = dialog.m_list;
    const std::string longText(700, 'x');
    for (const std::string& text : {std::string("自動(P)"), std::string(255, 'a'), std::string(256, 'b'), longText}) {
        SCOPED_TRACE(text.size());
        ASSERT_TRUE(list.DeleteAllItems());
        ASSERT_EQ(list.InsertItem(0, "row"), 0);
        ASSERT_TRUE(list.SetItemText(0, 2, text.c_str()));
        EXPECT_EQ(list.GetItemText(0, 2).str(), text);
    }
    EXPECT_EQ(list.GetItemText(0, 0).str(), "row");
    EXPECT_EQ(list.GetItemText(0, 1).str(), "");
    EXPECT_EQ(list.GetItemText(5, 1).str(), "");  // no such row
    EXPECT_EQ(list.GetItemCount(), 1);

    // Rows with an image, with state and data.
    CImageList images;
    ASSERT_TRUE(images.Create(24, 24, ILC_COLORDDB, 0, 50));
    EXPECT_GE(images.Add(::LoadIconA(nullptr, IDI_HAND)), 0);
    list.SetImageList(&images, LVSIL_SMALL);
    EXPECT_EQ(list.InsertItem(1, "with image", 0), 1);
    EXPECT_EQ(list.InsertItem(LVIF_TEXT | LVIF_PARAM, 2, "with data", 0, 0, 0, 42), 2);
    EXPECT_EQ(list.GetItemData(2), 42u);
    EXPECT_TRUE(list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(list.GetItemState(1, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
    EXPECT_EQ(list.GetItemState(2, LVIS_SELECTED), 0u);
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    ASSERT_TRUE(list.SendMessage(LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    EXPECT_EQ(item.iImage, 0);
    list.SetImageList(nullptr, LVSIL_SMALL);
}

}  // namespace
