// Compares every text table, entry by entry and in record order, with tests/data/texts.tsv, a
// transcription of the documented tables: one line per entry, "table<TAB>English<TAB>French".
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ui/text/TextTables.h"

namespace {

struct Row {
    std::string english, french;
};

std::map<std::string, std::vector<Row>> readFixture()
{
    std::map<std::string, std::vector<Row>> tables;
    std::ifstream in(std::string(VOREX_TEST_DATA) + "/texts.tsv");
    EXPECT_TRUE(in.good());
    std::string line;
    while (std::getline(in, line)) {
        const size_t a = line.find('\t'), b = line.find('\t', a + 1);
        if (a == std::string::npos || b == std::string::npos)
            continue;
        tables[line.substr(0, a)].push_back({line.substr(a + 1, b - a - 1), line.substr(b + 1)});
    }
    return tables;
}

}  // namespace

TEST(TextFixture, EveryTableMatchesTheTranscription)
{
    std::map<std::string, std::vector<Row>> fixture = readFixture();
    ASSERT_EQ(fixture.size(), text::allTextTables().size());
    for (const text::TextTableInfo& table : text::allTextTables()) {
        SCOPED_TRACE(std::string(table.name));
        const auto found = fixture.find(std::string(table.name));
        ASSERT_NE(found, fixture.end());
        const std::vector<Row>& rows = found->second;
        ASSERT_EQ(table.entries.size(), rows.size());
        for (size_t i = 0; i < rows.size(); ++i) {
            SCOPED_TRACE("entry " + std::to_string(i + size_t(table.firstId)));
            EXPECT_EQ(table.entries[i].english, rows[i].english);
            EXPECT_EQ(table.entries[i].french, rows[i].french);
        }
    }
}
