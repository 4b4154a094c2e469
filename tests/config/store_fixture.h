/* What the configuration store tests share: the temporary installation of tk::HomeTest (the
   process state reset, the boxes recorded) and ways to put files into it and read them back. */
#pragma once
#include "support/testkit.h"
#include "support/modelkit.h"
#include "common/appstate.h"
#include "common/fileutil.h"
#include "common/text.h"
#include "config/model.h"
#include "config/storefile.h"
#include <string>
#include <vector>

/* The whole configuration in memory, byte for byte: a save must leave it exactly as it was. */
inline std::string Model_Bytes()
{
    std::string b;
    auto add = [&](const void *p, size_t n) { b.append((const char *)p, n); };
    add(targets, sizeof targets);
    add(lbqs, sizeof lbqs);
    add(apps, sizeof apps);
    add(appGroups, sizeof appGroups);
    add(&targetCount, sizeof targetCount);
    add(&lbqCount, sizeof lbqCount);
    add(deletedQueues, sizeof deletedQueues);
    return b;
}

class StoreTest : public tk::HomeTest {
protected:
    /* "@HOME@" becomes the home directory. */
    std::string Homed(const std::string &text) const
    {
        std::string out = text;
        for (size_t p; (p = out.find("@HOME@")) != std::string::npos;) out.replace(p, 6, home.home());
        return out;
    }
    /* Writes a file of the home as the editor would: CR LF line ends, "@HOME@" filled in. */
    void Put(const std::string &name, const std::string &lfText) const { tk::Write_File(Path(name), tk::Crlf(Homed(lfText))); }
    void Put_Fixture(const std::string &name, const std::string &fixture) const
    {
        Put(name, tk::Read_File(tk::Fixture(fixture)));
    }
    std::string Get(const std::string &name) const { return tk::Read_File(Path(name)); }
    /* The bytes a file must hold: the LF text with CR LF and "@HOME@" filled in. */
    std::string Disk(const std::string &lfText) const { return tk::Crlf(Homed(lfText)); }
};
