/* A deterministic generator of damaged configuration files. Every damaged copy is named by the
   seed file it starts from and a case number; the same pair always gives the same bytes and the
   same recipe (the list of mutations applied), so a failure can be replayed on its own. */
#pragma once
#include <stdint.h>
#include <algorithm>
#include <string>
#include <vector>

namespace fz {

/* splitmix64: small, fast and the same on every platform. */
class Rng {
public:
    explicit Rng(uint64_t seed) : s_(seed) {}
    uint64_t next()
    {
        uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    /* 0 .. n-1 (0 when n is 0). */
    size_t below(size_t n) { return n ? (size_t)(next() % n) : 0; }
    bool chance(int percent) { return (int)below(100) < percent; }
    template <typename T, size_t N> const T &pick(const T (&a)[N]) { return a[below(N)]; }

private:
    uint64_t s_;
};

/* FNV-1a of a text, to turn a seed's name into a number. */
inline uint64_t Hash_Text(const std::string &s)
{
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    return h;
}

/* ---- line helpers: lines keep their own line ends ---- */

inline std::vector<std::string> Split_Lines(const std::string &text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t nl = text.find('\n', pos);
        size_t end = (nl == std::string::npos) ? text.size() : nl + 1;
        lines.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return lines;
}

inline std::string Join_Lines(const std::vector<std::string> &lines)
{
    std::string out;
    for (const std::string &l : lines) out += l;
    return out;
}

/* The line end a line carries ("\r\n", "\n" or none). */
inline std::string Line_End(const std::string &line)
{
    if (line.size() >= 2 && line.compare(line.size() - 2, 2, "\r\n") == 0) return "\r\n";
    if (!line.empty() && line.back() == '\n') return "\n";
    return "";
}

inline std::string Line_Body(const std::string &line) { return line.substr(0, line.size() - Line_End(line).size()); }

/* A text of n characters that looks like a value (letters, digits, a backslash now and then). */
inline std::string Long_Text(Rng &r, size_t n)
{
    static const char k_Chars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789\\_.- ";
    std::string s;
    s.reserve(n);
    for (size_t i = 0; i < n; i++) s += k_Chars[r.below(sizeof k_Chars - 1)];
    return s;
}

/* Numbers that sit on the edges of what the readers clamp, or beyond 32 bits. */
static const char *const k_Numbers[] = {
    "0", "1", "-1", "2", "3", "5", "7", "8", "9", "10", "11", "16", "17", "100", "101", "199", "200", "201", "202",
    "203", "-2", "-3", "-4", "-5", "-6", "-7", "255", "256", "1000", "1001", "1200", "1201", "1439", "1440", "10000",
    "10001", "30000", "30001", "65535", "86400", "86401", "1000000", "2678401", "2147483647", "2147483648",
    "-2147483648", "-2147483649", "4294967295", "4294967296", "99999999999999999999", "-99999999999999999999",
    "0x7FFFFFFF", "0xFFFFFFFF", "0x80000000", "0x1FFFFFFFF", "0x", "+5", "007", " 3", "3x", "-", "--1", "1e9", "",
};

/* ---- the mutations ---- */

typedef std::string (*MUTATE_FN)(const std::string &text, Rng &r);

inline std::string Cut_Short(const std::string &t, Rng &r) { return t.substr(0, r.below(t.size() + 1)); }

inline std::string Flip_Bytes(const std::string &t, Rng &r)
{
    std::string s = t;
    if (s.empty()) return s;
    size_t n = 1 + r.below(4);
    for (size_t i = 0; i < n; i++) {
        size_t at = r.below(s.size());
        s[at] = r.chance(50) ? (char)(s[at] ^ (1 << r.below(8))) : (char)r.below(256);
    }
    return s;
}

inline std::string Duplicate_Line(const std::string &t, Rng &r)
{
    std::vector<std::string> l = Split_Lines(t);
    if (l.empty()) return t;
    size_t at = r.below(l.size());
    std::string copy = l[at];
    if (Line_End(copy).empty()) copy += "\r\n";
    l.insert(l.begin() + (long)at, copy);
    return Join_Lines(l);
}

inline std::string Drop_Line(const std::string &t, Rng &r)
{
    std::vector<std::string> l = Split_Lines(t);
    if (l.empty()) return t;
    l.erase(l.begin() + (long)r.below(l.size()));
    return Join_Lines(l);
}

inline std::string Swap_Lines(const std::string &t, Rng &r)
{
    std::vector<std::string> l = Split_Lines(t);
    if (l.size() < 2) return t;
    size_t a = r.below(l.size()), b = r.below(l.size());
    std::string ea = Line_End(l[a]), eb = Line_End(l[b]);
    std::string ba = Line_Body(l[a]), bb = Line_Body(l[b]);
    l[a] = bb + ea;
    l[b] = ba + eb;
    return Join_Lines(l);
}

inline std::string Huge_Line(const std::string &t, Rng &r)
{
    static const size_t k_Sizes[] = { 259, 260, 261, 300, 512, 1513, 2048, 5000, 70000 };
    std::vector<std::string> l = Split_Lines(t);
    std::string line = Long_Text(r, r.pick(k_Sizes)) + "\r\n";
    l.insert(l.begin() + (long)r.below(l.size() + 1), line);
    return Join_Lines(l);
}

/* The places in a line where fields meet: "::", a blank or a comma. */
inline std::vector<size_t> Field_Starts(const std::string &body)
{
    std::vector<size_t> starts{ 0 };
    for (size_t i = 0; i < body.size(); i++) {
        if (i + 1 < body.size() && body[i] == ':' && body[i + 1] == ':') {
            starts.push_back(i + 2);
            i++;
        } else if (body[i] == ' ' || body[i] == ',') {
            starts.push_back(i + 1);
        }
    }
    return starts;
}

inline size_t Field_End(const std::string &body, size_t start)
{
    size_t e = start;
    while (e < body.size() && body[e] != ' ' && body[e] != ',' && !(body[e] == ':' && e + 1 < body.size() && body[e + 1] == ':'))
        e++;
    return e;
}

/* Replaces one field of one line by the text make() gives. */
template <typename F> std::string Replace_Field(const std::string &t, Rng &r, F make)
{
    std::vector<std::string> l = Split_Lines(t);
    if (l.empty()) return t;
    size_t at = r.below(l.size());
    std::string body = Line_Body(l[at]), end = Line_End(l[at]);
    std::vector<size_t> starts = Field_Starts(body);
    size_t s = starts[r.below(starts.size())];
    size_t e = Field_End(body, s);
    l[at] = body.substr(0, s) + make(r) + body.substr(e) + end;
    return Join_Lines(l);
}

inline std::string Long_Field(const std::string &t, Rng &r)
{
    static const size_t k_Sizes[] = { 64, 65, 258, 259, 260, 261, 300, 1600, 5000 };
    return Replace_Field(t, r, [](Rng &rr) { return Long_Text(rr, rr.pick(k_Sizes)); });
}

/* Sets a number field of a random line (eight tries) to one of values; false when none was found. */
template <size_t N>
inline bool Set_NumberField(const std::string &t, Rng &r, const char *const (&values)[N], std::string *out)
{
    std::vector<std::string> l = Split_Lines(t);
    for (int tries = 0; tries < 8 && !l.empty(); tries++) {
        size_t at = r.below(l.size());
        std::string body = Line_Body(l[at]), end = Line_End(l[at]);
        std::vector<size_t> digits;
        for (size_t s : Field_Starts(body))
            if (s < body.size() && ((body[s] >= '0' && body[s] <= '9') || body[s] == '-')) digits.push_back(s);
        if (digits.empty()) continue;
        size_t s = digits[r.below(digits.size())];
        l[at] = body.substr(0, s) + r.pick(values) + body.substr(Field_End(body, s)) + end;
        *out = Join_Lines(l);
        return true;
    }
    return false;
}

inline std::string Odd_Number(const std::string &t, Rng &r)
{
    /* mostly a field that holds a number, so the edges of the numeric readers are reached */
    std::string out;
    if (Set_NumberField(t, r, k_Numbers, &out)) return out;
    return Replace_Field(t, r, [](Rng &rr) { return std::string(rr.pick(k_Numbers)); });
}

/* A number field set to 0, 1 or 2: switches that the seeds leave off come on. */
inline std::string Flag_Value(const std::string &t, Rng &r)
{
    static const char *const k_Flags[] = { "0", "1", "2" };
    std::string out;
    return Set_NumberField(t, r, k_Flags, &out) ? out : t;
}

inline std::string Insert_Nuls(const std::string &t, Rng &r)
{
    std::string s = t;
    size_t n = 1 + r.below(3);
    for (size_t i = 0; i < n; i++) s.insert(r.below(s.size() + 1), 1, '\0');
    return s;
}

inline std::string Cr_Only(const std::string &t, Rng &)
{
    std::string s;
    for (size_t i = 0; i < t.size(); i++) {
        if (t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n') continue;
        s += (t[i] == '\n') ? '\r' : t[i];
    }
    return s;
}

/* CR LF turned into LF. */
inline std::string Without_Cr(const std::string &t)
{
    std::string s;
    for (size_t i = 0; i < t.size(); i++)
        if (!(t[i] == '\r' && i + 1 < t.size() && t[i + 1] == '\n')) s += t[i];
    return s;
}

inline std::string Lf_Only(const std::string &t, Rng &) { return Without_Cr(t); }

inline std::string Ctrl_Z(const std::string &t, Rng &r)
{
    std::string s = t;
    s.insert(r.chance(30) ? s.size() : r.below(s.size() + 1), 1, '\x1A');
    return s;
}

inline std::string Garbage(const std::string &t, Rng &r)
{
    std::string s = t;
    size_t at = r.below(s.size() + 1);
    size_t cut = r.below(std::min<size_t>(64, s.size() - at) + 1);
    std::string junk;
    for (size_t i = 0, n = 1 + r.below(64); i < n; i++) junk += (char)r.below(256);
    return s.replace(at, cut, junk);
}

inline std::string Many_Fields(const std::string &t, Rng &r)
{
    std::vector<std::string> l = Split_Lines(t);
    if (l.empty()) return t;
    size_t at = r.below(l.size());
    std::string body = Line_Body(l[at]), end = Line_End(l[at]);
    for (size_t i = 0, n = 5 + r.below(60); i < n; i++) body += r.chance(50) ? "::" + std::string(r.pick(k_Numbers)) : "::x";
    l[at] = body + end;
    return Join_Lines(l);
}

/* A group line with many members, put in place of a line or added. */
inline std::string Many_Members(const std::string &t, Rng &r)
{
    static const int k_Counts[] = { 1, 2, 4, 5, 6, 50, 300 };
    int n = r.pick(k_Counts);
    std::string line;
    for (int i = 0; i < n; i++) line += (i ? ",," : "") + std::to_string(r.chance(80) ? (int)r.below(8) : (int)r.below(400));
    line += r.chance(50) ? ":1::P::N\r\n" : ":0::A::H\r\n";
    std::vector<std::string> l = Split_Lines(t);
    size_t at = r.below(l.size() + 1);
    if (at < l.size() && r.chance(50)) l[at] = line;
    else l.insert(l.begin() + (long)at, line);
    return Join_Lines(l);
}

/* One line repeated until the file holds about 300 of them. */
inline std::string Many_Lines(const std::string &t, Rng &r)
{
    std::vector<std::string> l = Split_Lines(t);
    if (l.empty()) return t;
    size_t at = r.below(l.size());
    std::string copy = Line_Body(l[at]) + "\r\n";
    std::vector<std::string> out(l.begin(), l.begin() + (long)at);
    for (size_t i = 0, n = 190 + r.below(120); i < n; i++) out.push_back(copy);
    out.insert(out.end(), l.begin() + (long)at, l.end());
    return Join_Lines(out);
}

inline std::string Insert_Separator(const std::string &t, Rng &r)
{
    static const char *const k_Seps[] = { "::", ":", ":::", ",,", ",", " ", "\t", "\"", "#", "\r", "\n", "\r\n", "\\" };
    std::string s = t;
    for (size_t i = 0, n = 1 + r.below(3); i < n; i++) s.insert(r.below(s.size() + 1), r.pick(k_Seps));
    return s;
}

inline std::string Drop_Separator(const std::string &t, Rng &r)
{
    std::vector<size_t> at;
    for (size_t i = 0; i + 1 < t.size(); i++)
        if (t[i] == ':' && t[i + 1] == ':') at.push_back(i);
    if (at.empty()) return t;
    std::string s = t;
    return s.erase(at[r.below(at.size())], r.chance(50) ? 2 : 1);
}

inline std::string Byte_Order_Mark(const std::string &t, Rng &) { return "\xEF\xBB\xBF" + t; }

inline std::string Empty_File(const std::string &, Rng &r) { return r.chance(50) ? "" : "\r\n"; }

struct Mutation {
    const char *name;
    MUTATE_FN   fn;
    int         weight;
};

static const Mutation k_Mutations[] = {
    { "truncate", Cut_Short, 8 },          { "flip-bytes", Flip_Bytes, 10 },     { "duplicate-line", Duplicate_Line, 6 },
    { "drop-line", Drop_Line, 5 },         { "swap-lines", Swap_Lines, 4 },      { "huge-line", Huge_Line, 4 },
    { "long-field", Long_Field, 7 },       { "odd-number", Odd_Number, 14 },     { "nul-bytes", Insert_Nuls, 5 },
    { "cr-only", Cr_Only, 3 },             { "lf-only", Lf_Only, 2 },            { "ctrl-z", Ctrl_Z, 3 },
    { "garbage", Garbage, 5 },             { "many-fields", Many_Fields, 4 },   { "many-members", Many_Members, 3 },
    { "many-lines", Many_Lines, 2 },       { "separator", Insert_Separator, 7 }, { "drop-separator", Drop_Separator, 4 },
    { "bom", Byte_Order_Mark, 1 },         { "empty", Empty_File, 1 },           { "flag", Flag_Value, 8 },
};

/* The damaged copy number caseNo of seed (named seedName): one to three mutations in a row.
   recipe gets their names, in order. */
inline std::string Mutate(const std::string &seed, const std::string &seedName, int caseNo, std::string *recipe)
{
    Rng r(Hash_Text(seedName) ^ (0x5DEECE66Dull * (uint64_t)(caseNo + 1)));
    int total = 0;
    for (const Mutation &m : k_Mutations) total += m.weight;
    std::string text = seed;
    recipe->clear();
    size_t steps = 1 + (r.chance(40) ? 1 + r.below(2) : 0);
    for (size_t k = 0; k < steps; k++) {
        int w = (int)r.below((size_t)total);
        const Mutation *m = &k_Mutations[0];
        for (const Mutation &cand : k_Mutations) {
            if (w < cand.weight) {
                m = &cand;
                break;
            }
            w -= cand.weight;
        }
        text = m->fn(text, r);
        if (!recipe->empty()) *recipe += " + ";
        *recipe += m->name;
    }
    return text;
}

} // namespace fz
