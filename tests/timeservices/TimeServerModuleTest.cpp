#include "TimeServerModule.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <stdexcept>

// Without its module, or with a damaged one, the window does not open and
// the user is told which file is at fault and why.
TEST(TimeServerModule, AMissingOrDamagedModuleSaysWhichFileAndWhy)
{
    TempFolder folder;
    const struct
    {
        const char *state;
        QByteArray bytes; // empty: no file at all
        const char *why;
    } cases[] = {{"missing", {}, "No such file"}, {"damaged", "not a library", "file too short"}};
    for (const auto &c : cases) {
        if (!c.bytes.isEmpty())
            folder.write(TimeServerModule::FileName, c.bytes);
        try {
            TimeServerModule::load(folder.path());
            ADD_FAILURE() << c.state << " module loaded";
        } catch (const std::runtime_error &e) {
            const QString message = e.what();
            EXPECT_TRUE(message.startsWith("The Internet time server window cannot be opened: ")) << e.what();
            EXPECT_TRUE(message.contains(folder.file(TimeServerModule::FileName))) << e.what();
            EXPECT_TRUE(message.contains(c.why)) << e.what();
        }
    }
}
