#include <gtest/gtest.h>

#include <set>

#include "protocol/MessageCatalogue.h"

namespace tovrik::protocol {
namespace {

TEST(MessageCatalogue, NamesEveryIdOnceWithItsPrefix)
{
    std::set<int> ids;
    for (const MessageInfo& info : AllMessages()) {
        EXPECT_TRUE(ids.insert(info.id).second) << info.name;
        const std::string_view prefix = info.name.substr(0, 4);
        if (info.server == ServerKind::Master) {
            EXPECT_EQ(prefix, "CMS_") << info.id;
        } else if (info.id >= 1000 && info.id <= 1013) {
            EXPECT_EQ(prefix, "CCL_") << info.id;
        } else {
            EXPECT_EQ(prefix, "CSV_") << info.id;
        }
    }
    EXPECT_EQ(ids.size(), 80u);
}

TEST(MessageCatalogue, FindsEntriesAndNamesUnknownIds)
{
    const MessageInfo* info = FindMessage(1011);
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->name, "CCL_RESULTSTONEHIT");
    EXPECT_EQ(info->direction, Direction::ClientToServer);

    EXPECT_EQ(FindMessage(129)->name, "CSV_ACCEPT_OUTROOM");
    EXPECT_EQ(FindMessage(149)->direction, Direction::Both);
    EXPECT_EQ(FindMessage(2502)->server, ServerKind::Master);

    EXPECT_EQ(FindMessage(114), nullptr);
    EXPECT_EQ(MessageName(114), "unknown message 114");
    EXPECT_EQ(MessageName(msgid::CSV_ASK_LOGIN), "CSV_ASK_LOGIN");
}

}  // namespace
}  // namespace tovrik::protocol
