// Tokenizers, corner form and the C library number conversions.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>

#include "doc/ObjTokenizers.h"

using namespace vortel;

namespace {
bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }
}  // namespace

TEST(NumberConversion, MatchesAtofOnHandPickedTexts) {
    const char* texts[] = {"1",       "-1",      "+1.5",     "  3.25\n", "\t-0",    "1e3",      "1E-3x",
                           "1e",      "1e+",     ".5",       "5.",       ".",       "-.",       "+-5",
                           "0x1p3",   "0X1.8",   "inf",      "-INF",     "nan",     "infinity", "1e400",
                           "-1e400",  "1e-400",  "4.9e-324", "2.2250738585072011e-308", "abc", "",
                           "00012.5", "1.000000000000000000000000000001", "123456789012345678901234567890",
                           "3.4028235e38", "3.4028236e38", "1.17549435e-38", "1.4e-45", "0.1 2", "7\r\n"};
    for (const char* t : texts) {
        double mine = cAtof(t, t + std::strlen(t));
        double ref = std::atof(t);
        EXPECT_TRUE(sameBits(mine, ref) || (std::isnan(mine) && std::isnan(ref))) << "text: '" << t << "'";
        EXPECT_TRUE(sameBits(static_cast<float>(mine), static_cast<float>(ref)) ||
                    (std::isnan(mine) && std::isnan(ref)));
    }
}

TEST(NumberConversion, MatchesAtofOnRandomTexts) {
    std::mt19937 rng(7);
    const char alphabet[] = "0123456789.-+eE xXpP\tinfa";
    for (int i = 0; i < 200000; ++i) {
        char buf[24];
        int len = static_cast<int>(rng() % 20);
        for (int k = 0; k < len; ++k) buf[k] = alphabet[rng() % (sizeof alphabet - 1)];
        buf[len] = '\0';
        double mine = cAtof(buf, buf + len), ref = std::atof(buf);
        ASSERT_TRUE(sameBits(mine, ref) || (std::isnan(mine) && std::isnan(ref))) << "text: '" << buf << "'";
    }
    // Printed floats of every magnitude, as OBJ files carry them.
    std::uniform_int_distribution<unsigned> bits;
    for (int i = 0; i < 100000; ++i) {
        unsigned u = bits(rng);
        float f;
        std::memcpy(&f, &u, sizeof f);
        if (!std::isfinite(f)) continue;
        char buf[64];
        int len = std::snprintf(buf, sizeof buf, i % 2 ? "%.9g" : "%f", static_cast<double>(f));
        ASSERT_TRUE(sameBits(cAtof(buf, buf + len), std::atof(buf))) << buf;
    }
}

TEST(NumberConversion, AtoiMatchesCLibrary) {
    const char* texts[] = {"12",  "-7",  "+3", " \t42x", "0", "abc", "", "2147483647", "2147483648",
                           "-2147483649", "99999999999", "99999999999999999999999", "-99999999999999999999999",
                           "1/2", "\n5"};
    for (const char* t : texts) EXPECT_EQ(cAtoi(t, t + std::strlen(t)), std::atoi(t)) << t;
}

TEST(VertexTokenizer, ReadsThreeValuesAndKeepsTheRules) {
    float v[3];
    ASSERT_TRUE(vertexTokenizer("v 1 2 3\n", v));
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_EQ(v[2], 3.0f);
    ASSERT_TRUE(vertexTokenizer("v    1.5   -2    3e2 4 5\n", v));  // runs of spaces shrink, extras ignored
    EXPECT_EQ(v[0], 1.5f);
    EXPECT_EQ(v[1], -2.0f);
    EXPECT_EQ(v[2], 300.0f);
    ASSERT_TRUE(vertexTokenizer("v\t1 2 3", v));
    EXPECT_EQ(v[0], 1.0f);
    EXPECT_FALSE(vertexTokenizer("v 1 2\n", v));
    EXPECT_FALSE(vertexTokenizer("v 1\t2\t3\n", v));  // tabs do not separate
    EXPECT_FALSE(vertexTokenizer("v ", v));
    // A trailing blank makes the line end a third token of its own.
    ASSERT_TRUE(vertexTokenizer("v 1 2 \n", v));
    EXPECT_EQ(v[2], 0.0f);
    std::string longToken = "v " + std::string(80, '1') + " 2 3\n";
    EXPECT_TRUE(vertexTokenizer(longToken.c_str(), v));
    std::string tooLong = "v " + std::string(81, '1') + " 2 3\n";
    EXPECT_FALSE(vertexTokenizer(tooLong.c_str(), v));
}

TEST(UvTokenizer, ReadsTwoValuesUpToTwentyCharacters) {
    float uv[2];
    ASSERT_TRUE(uvTokenizer("vt 0.25 0.75\n", uv));
    EXPECT_EQ(uv[0], 0.25f);
    EXPECT_EQ(uv[1], 0.75f);
    ASSERT_TRUE(uvTokenizer("vt0.5 0.5 0\n", uv));
    EXPECT_EQ(uv[0], 0.5f);
    EXPECT_FALSE(uvTokenizer("vt 0.5\n", uv) && uv[1] != 0.0f);
    EXPECT_TRUE(uvTokenizer("vt 0.123456789012345678 1\n", uv));  // 20 characters
    EXPECT_FALSE(uvTokenizer("vt 0.1234567890123456789 1\n", uv));  // 21
}

TEST(FaceNumberTokenizer, CornerListsAndForms) {
    int list[kNumberListSize];
    struct Row {
        const char* line;
        int count, form;
        std::vector<int> numbers;
    } rows[] = {
        {"f 1 2 3\n", 3, 1, {1, 2, 3}},
        {"f 1/1 2/2 3/3\n", 6, 2, {1, 1, 2, 2, 3, 3}},
        {"f 1//4 2//5 3//6\n", 6, 2, {1, 4, 2, 5, 3, 6}},
        {"f 1/1/1 2/2/2 3/3/3\r\n", 9, 3, {1, 1, 1, 2, 2, 2, 3, 3, 3}},
        {"f 1 2 -1\n", 2, 1, {1, 2}},
        {"f 0 1 2\n", 0, 1, {}},
        {"f 1\t2 3\n", 2, 1, {1, 3}},
        {"fo 4 5 6", 3, 1, {4, 5, 6}},
        {"f\t7 8 9\n", 3, 1, {7, 8, 9}},
        {"f 1/2 3\n", 3, 3, {1, 2, 3}},
    };
    for (const Row& r : rows) {
        int n = faceNumberTokenizer(r.line, list);
        ASSERT_EQ(n, r.count) << r.line;
        EXPECT_EQ(std::vector<int>(list, list + n), r.numbers) << r.line;
        EXPECT_EQ(cornerForm(r.line, n), r.form) << r.line;
    }
    EXPECT_EQ(cornerForm("", 0), 1);
}

TEST(FaceNumberTokenizer, OneScanEqualsTheSeparateTokenizerAndForm) {
    std::mt19937 rng(3);
    const char alphabet[] = "0123456789//  o\t-\r\n\n\nx";
    int list[kNumberListSize], list2[kNumberListSize];
    for (int i = 0; i < 100000; ++i) {
        char buf[64];
        int len = 1 + static_cast<int>(rng() % 40);
        buf[0] = (rng() & 1) ? 'f' : 'l';
        for (int k = 1; k < len; ++k) buf[k] = alphabet[rng() % (sizeof alphabet - 1)];
        buf[len] = '\0';
        int form = 0;
        int n = faceNumbersAndForm(buf, list, form);
        int n2 = faceNumberTokenizer(buf, list2);
        ASSERT_EQ(n, n2) << buf;
        ASSERT_EQ(form, cornerForm(buf, n2)) << buf;
        ASSERT_TRUE(std::equal(list, list + n, list2)) << buf;
    }
}

TEST(Tokenizers, FastPathsEqualTheCollapsedCopy) {
    // Lines with and without runs of blanks must give the same values.
    std::mt19937 rng(5);
    const char alphabet[] = "0123456789.- \t\ne";
    for (int i = 0; i < 100000; ++i) {
        char line[64];
        int len = 2 + static_cast<int>(rng() % 40);
        line[0] = 'v';
        line[1] = (i % 3 == 0) ? 't' : ' ';
        for (int k = 2; k < len; ++k) line[k] = alphabet[rng() % (sizeof alphabet - 1)];
        line[len] = '\0';
        // Reference: collapse by hand, then read tokens after position 1.
        std::string src(line);
        if (line[1] == 't') src[1] = ' ';
        std::string copy;
        for (size_t k = 0; k < src.size(); ++k)
            if (!(src[k] == ' ' && k + 1 < src.size() && src[k + 1] == ' ')) copy += src[k];
        std::vector<float> ref;
        bool refOk = false;
        const size_t want = line[1] == 't' ? 2 : 3, maxLen = line[1] == 't' ? 20 : 80;
        size_t prev = 1;
        for (size_t k = 2; k <= copy.size(); ++k) {
            if (k != copy.size() && copy[k] != ' ') continue;
            size_t tl = k - prev - 1;
            if (tl < 1 || tl > maxLen) break;
            ref.push_back(static_cast<float>(std::atof(copy.substr(prev + 1, tl).c_str())));
            if (ref.size() == want) {
                refOk = true;
                break;
            }
            prev = k;
        }
        float out[3];
        bool ok = line[1] == 't' ? uvTokenizer(line, out) : vertexTokenizer(line, out);
        ASSERT_EQ(ok, refOk) << line;
        if (!ok) continue;
        for (size_t k = 0; k < want; ++k)
            ASSERT_TRUE(sameBits(out[k], ref[k]) || (std::isnan(out[k]) && std::isnan(ref[k]))) << line;
    }
}
