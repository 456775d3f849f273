// The cell store's direct paths (StoreNew, MergeArea) against the long way
// through cell objects: two workbooks get the same cells, one each way, and
// must end with the same cells and the same use counts in both tables.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "model/Workbook.h"
#include "styles/XLSError.h"

namespace {

struct TBook {
    TWorkbook Workbook;
    TSheet& Sheet = *Workbook.Sheets().Items(0);
    TCells& Cells = Sheet.Cells();

    // A table as a reader leaves it: default index 0 on record 0, which uses
    // `defaultFont`; record 1 a date format, record 2 a fill, record 3 merged.
    explicit TBook(uint16_t defaultFont)
    {
        for (int i = 0; i < 8; ++i)
            Workbook.FontTable().Append();
        TVirtualXFTable& xfs = Workbook.XFTable();
        xfs.Clear();
        xfs.ResetBuffer().FontIndex = defaultFont;
        xfs.Append();
        xfs.ResetBuffer().FormatIndex = 14; // a date format
        xfs.Append();
        xfs.ResetBuffer().FillPattern = 1;
        xfs.Append();
        xfs.ResetBuffer().Merged = 1;
        xfs.Append();
        // Counts never fall below 0: start high enough that every release shows.
        for (int use = 0; use < 100; ++use) {
            for (int i = 0; i < xfs.Count(); ++i)
                xfs.AddRef(i);
            for (int i = 0; i < Workbook.FontTable().Count(); ++i)
                Workbook.FontTable().AddRef(i);
        }
    }
};

// What a test does to a sheet: the direct way and the long way.
struct TStep {
    const char* Name;
    std::function<bool(TCells&)> Direct; // false: not taken, do the long way
    std::function<void(TCells&)> Long;
};

TStep Store(int row, int col, int32_t xf, TVariant value, int64_t shared = -1)
{
    return {"store",
            [=](TCells& cells) { return cells.StoreNew(row, col, xf, value, shared); },
            [=](TCells& cells) {
                TCell* cell = cells.GetCell(row, col);
                if (!value.IsEmpty())
                    cell->SetValue(value);
                if (xf < cells.StyleTables()->XFTable->Count())
                    cell->SetXFIndex(xf);
            }};
}

// A number that becomes a date after its format, as the reader stores one.
TStep StoreDated(int row, int col, int32_t xf, double serial)
{
    const TVariant number = TVariant::Double(serial), date = TVariant::Date(serial);
    return {"dated store",
            [=](TCells& cells) { return cells.StoreNew(row, col, xf, number, -1, &date); },
            [=](TCells& cells) {
                TCell* cell = cells.GetCell(row, col);
                cell->SetValue(number);
                cell->SetXFIndex(xf);
                cell->SetValue(date);
            }};
}

TStep Merge(uint16_t firstRow, uint16_t lastRow, uint8_t firstCol, uint8_t lastCol)
{
    return {"merge",
            [=](TCells& cells) {
                cells.MergeArea(firstRow, lastRow, firstCol, lastCol);
                return true;
            },
            [=](TCells& cells) {
                for (int r = firstRow; r <= lastRow; ++r)
                    for (int c = firstCol; c <= lastCol; ++c)
                        cells.GetCell(r, c)->SetMerged(true);
            }};
}

TStep FormatRow(int row)
{
    auto format = [=](TCells& cells) {
        cells.Sheet()->Rows().GetRow(row)->SetFillPattern(3);
        return true;
    };
    return {"row format", format, [=](TCells& cells) { format(cells); }};
}

void ExpectSameBooks(TBook& direct, TBook& objects)
{
    for (auto tables : {std::pair{&direct.Workbook.XFTable().Table(), &objects.Workbook.XFTable().Table()},
                        std::pair{&direct.Workbook.FontTable().Table(), &objects.Workbook.FontTable().Table()}}) {
        ASSERT_EQ(tables.first->Count(), tables.second->Count());
        for (int i = 0; i < tables.first->Count(); ++i) {
            EXPECT_EQ(tables.first->Get(i), tables.second->Get(i)) << i;
            EXPECT_EQ(tables.first->UseCount(i), tables.second->UseCount(i)) << i;
        }
    }
    ASSERT_EQ(direct.Cells.Count(), objects.Cells.Count());
    EXPECT_EQ(direct.Cells.StoredFormatChanges(), objects.Cells.StoredFormatChanges());
    for (int i = 0; i < direct.Cells.Count(); ++i) {
        const TStoredCell a = direct.Cells.Stored(i), b = objects.Cells.Stored(i);
        EXPECT_EQ(a.Row, b.Row) << i;
        EXPECT_EQ(a.Col, b.Col) << i;
        EXPECT_EQ(a.XFIndex, b.XFIndex) << i;
        EXPECT_TRUE(a.Value() == b.Value()) << i;
        EXPECT_EQ(direct.Cells.IndexAt(a.Row, a.Col), i);
    }
}

void RunBoth(uint16_t defaultFont, const std::vector<TStep>& steps)
{
    TBook direct(defaultFont), objects(defaultFont);
    for (const TStep& step : steps) {
        if (!step.Direct(direct.Cells))
            step.Long(direct.Cells);
        step.Long(objects.Cells);
    }
    // The long way leaves a pending cell that a direct store does not
    // renew; one more cell made the long way settles both.
    for (TBook* book : {&direct, &objects})
        Store(65535, 255, 0, TVariant::Double(0)).Long(book->Cells);
    ExpectSameBooks(direct, objects);
}

const TVariant kText = TVariant::Wide(u"shared");

std::vector<TStep> Mixed()
{
    return {
        Store(0, 0, 0, TVariant::Double(1.5)),        // the first cell may take the long way
        Store(0, 1, 2, TVariant::Double(2)),          // a format of its own
        Store(0, 2, 1, TVariant::Date(40000)),        // a date under a date format
        Store(0, 3, 0, TVariant::Date(40000)),        // a date under position 0: the long way
        StoreDated(0, 5, 1, 40001),                   // a number made a date under its date format
        StoreDated(0, 6, 2, 40002),                   // ... under position 0: the long way
        Store(0, 4, 9, TVariant::Integer(7)),         // an XF outside the table
        Store(1, 0, 2, TVariant()),                   // a formatted empty cell
        Store(1, 1, 0, TVariant()),                   // an empty cell on the default: nothing stored
        Store(1, 2, 0, kText, 5), Store(2, 2, 2, kText, 5), Store(3, 2, 0, TVariant::String("own")),
        Store(2, 0, 0, TVariant::Boolean(true)), Store(2, 1, 0, TVariant::Error(0x07)),
        Store(0, 1, 0, TVariant::Double(3)),          // a stored position: the long way
        FormatRow(5),
        Store(5, 0, 0, TVariant::Double(4)),          // under a formatted row: the long way
        Store(4, 7, 0, TVariant::Double(5)), Store(4, 3, 0, TVariant::Double(6)), // out of column order
        Merge(6, 8, 0, 3), Merge(0, 2, 0, 2), Merge(4, 5, 0, 7),
    };
}

TEST(CellStoreDirect, GivesWhatTheCellObjectsGive)
{
    // After every step, so that each step is checked in the state the earlier ones left.
    const std::vector<TStep> steps = Mixed();
    for (uint16_t font : {0, 5})
        for (size_t count = 1; count <= steps.size(); ++count) {
            SCOPED_TRACE(testing::Message() << "default font " << font << ", after " << steps[count - 1].Name
                                            << " (step " << count << ")");
            RunBoth(font, std::vector<TStep>(steps.begin(), steps.begin() + long(count)));
            if (testing::Test::HasFailure())
                return;
        }
}

TEST(CellStoreDirect, TextsAreKeptOncePerKey)
{
    TBook book(0);
    ASSERT_TRUE(book.Cells.StoreNew(0, 0, 0, kText, 1));
    ASSERT_TRUE(book.Cells.StoreNew(0, 1, 0, TVariant::Wide(u"other"), 1)); // the key decides
    ASSERT_TRUE(book.Cells.StoreNew(0, 2, 0, TVariant::Wide(u"other"), 2));
    EXPECT_EQ(&book.Cells.Stored(0).Value(), &book.Cells.Stored(1).Value());
    EXPECT_TRUE(book.Cells.Stored(2).Value() == TVariant::Wide(u"other"));
    // A cell object made later holds the same value and is the stored cell from then on.
    TCell* cell = book.Cells.FindCell(0, 1);
    ASSERT_NE(cell, nullptr);
    EXPECT_TRUE(cell->Stored());
    EXPECT_TRUE(cell->Value() == kText);
    EXPECT_EQ(book.Cells.Items(1), cell);
    cell->SetValue(TVariant::Double(9));
    EXPECT_EQ(book.Cells.Stored(1).Value().AsDouble(), 9);
    EXPECT_THROW(book.Cells.StoreNew(0, 256, 0, kText), EXLSError);

    // Keys far beyond the texts kept, and the same keys once many texts
    // have come, still name one text each.
    for (const int64_t far : {int64_t{5000}, int64_t{1} << 40}) {
        ASSERT_TRUE(book.Cells.StoreNew(1, far > 5000, 0, TVariant::Wide(u"far"), far));
    }
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(book.Cells.StoreNew(2 + i / 200, i % 200, 0, TVariant::Wide(u"n"), 100 + i));
    ASSERT_TRUE(book.Cells.StoreNew(30, 0, 0, TVariant::Wide(u"again"), 5000));
    ASSERT_TRUE(book.Cells.StoreNew(30, 1, 0, TVariant::Wide(u"again"), int64_t{1} << 40));
    ASSERT_TRUE(book.Cells.StoreNew(30, 2, 0, TVariant::Wide(u"again"), 2999 + 100));
    auto slotAt = [&](int row, int col) { return book.Cells.Stored(book.Cells.IndexAt(row, col)).TextSlot(); };
    EXPECT_EQ(slotAt(30, 0), slotAt(1, 0));
    EXPECT_EQ(slotAt(30, 1), slotAt(1, 1));
    EXPECT_EQ(slotAt(30, 2), slotAt(16, 199));
    EXPECT_NE(slotAt(30, 0), slotAt(30, 1));
    EXPECT_TRUE(book.Cells.Stored(book.Cells.IndexAt(30, 0)).Value() == TVariant::Wide(u"far"));
}

TEST(CellStoreDirect, RowsFindTheirCellsInAnyOrder)
{
    TBook book(0);
    const std::pair<int, int> order[] = {{3, 5}, {3, 6}, {3, 7}, {3, 1}, {0, 255}, {3, 200}, {3, 0}};
    for (auto [r, c] : order)
        ASSERT_TRUE(book.Cells.StoreNew(r, c, 0, TVariant::Integer(r * 256 + c)));
    std::vector<uint32_t> row;
    book.Cells.RowIndexes(3, row);
    std::vector<int> cols;
    for (uint32_t index : row)
        cols.push_back(book.Cells.ColOf(int(index)));
    EXPECT_EQ(cols, (std::vector<int>{0, 1, 5, 6, 7, 200}));
    for (int i = 0; i < book.Cells.Count(); ++i)
        EXPECT_EQ(book.Cells.IndexAt(order[i].first, order[i].second), i);
    EXPECT_EQ(book.Cells.IndexAt(3, 2), -1);
    EXPECT_EQ(book.Cells.IndexAt(1, 0), -1);
    EXPECT_EQ(book.Cells.IndexAt(70000, 0), -1);
}

// A walk finds what RowIndexes finds, whatever order the rows are asked in;
// a walk made after rows were added finds them too.
TEST(CellStoreDirect, RowWalkFindsWhatRowIndexesFinds)
{
    TBook book(0);
    for (int r : {2, 3, 5, 9, 10, 400, 65535})
        for (int c : {0, 4})
            ASSERT_TRUE(book.Cells.StoreNew(r, c, 0, TVariant::Integer(r)));
    std::optional<TCells::TRowWalk> walk(book.Cells);
    auto expectSame = [&](int row) {
        std::vector<uint32_t> walked{7}, searched{7}; // appended to what is there
        walk->RowIndexes(row, walked);
        book.Cells.RowIndexes(row, searched);
        EXPECT_EQ(walked, searched) << "row " << row;
    };
    for (int row : {-1, 0, 1, 2, 3, 4, 5, 5, 9, 10, 11, 399, 400, 401, 65535, 65536})
        expectSame(row);
    for (int row : {9, 3, 2, 0, 400, 10})
        expectSame(row);
    ASSERT_TRUE(book.Cells.StoreNew(7, 1, 0, TVariant::Integer(7)));
    ASSERT_TRUE(book.Cells.StoreNew(1, 1, 0, TVariant::Integer(1)));
    walk.emplace(book.Cells);
    for (int row : {1, 6, 7, 8, 9})
        expectSame(row);
}

} // namespace
