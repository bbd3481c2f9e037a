#include "data/fields.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

using namespace velmoran;

TEST(ListingFields, HundredAndTwoUniqueFieldsOfWhichFortyThreeAreFlags) {
    const TableSpec& spec = listingsTable();
    std::set<std::string> names;
    int flags = 0;
    for (std::size_t i = 0; i < spec.fieldCount; ++i) {
        names.insert(spec.fields[i].name);
        flags += spec.fields[i].kind == FieldKind::Flag;
    }
    EXPECT_EQ(names.size(), 102u);
    EXPECT_EQ(flags, 43);
    EXPECT_EQ(spec.indexOf("KHAB0"), spec.indexOf("khab0"));
    EXPECT_GE(spec.indexOf("tedadehvahedeh02"), 0);
    EXPECT_EQ(spec.indexOf("khab01"), -1);
}
