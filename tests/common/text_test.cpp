#include "support/testkit.h"
#include "common/text.h"

struct CopyCase { const char *name; size_t cap; const char *src; const char *want; BOOL whole; };
static const CopyCase k_Copy[] = {
    { "fits",                    8, "abc",      "abc",     TRUE  },
    { "exactly cap-1 fits",      4, "abc",      "abc",     TRUE  },
    { "cap chars is cut",        4, "abcd",     "abc",     FALSE },
    { "NULL is empty",           4, nullptr,    "",        TRUE  },
    { "cap 1 keeps only the NUL", 1, "abc",     "",        FALSE },
};

TEST(Copy_Text, AlwaysTerminatesAndReportsCuts)
{
    for (const CopyCase &c : k_Copy) {
        SCOPED_TRACE(c.name);
        char buf[16];
        memset(buf, 'x', sizeof buf);
        EXPECT_EQ(c.whole, Copy_Text(buf, c.cap, c.src));
        EXPECT_STREQ(c.want, buf);
        EXPECT_EQ('x', buf[c.cap]) << "wrote past the given size";
    }
}

TEST(Append_Text, StopsAtTheCapacity)
{
    char buf[8] = "abc";
    EXPECT_TRUE(Append_Text(buf, sizeof buf, "def"));
    EXPECT_STREQ("abcdef", buf);
    EXPECT_FALSE(Append_Text(buf, sizeof buf, "ghi"));
    EXPECT_STREQ("abcdefg", buf);
}

TEST(OutBuf, GrowsAcrossManyAppends)
{
    OUTBUF b;
    OutBuf_Init(&b);
    for (int i = 0; i < 1000; i++) OutBuf_Printf(&b, "%d::", i);
    EXPECT_FALSE(b.failed);
    EXPECT_EQ(0, strncmp(b.data, "0::1::2::", 9));
    EXPECT_EQ(strlen(b.data), b.len);
    OutBuf_Free(&b);
}
