// The help document the build puts beside the program: a web archive a browser can open.
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::string readHelp() {
    return readFile(KESP_BIN_DIR "/kespaide.mht");
}

TEST(KespAide, IsAMultipartWebArchiveWithOneHtmlPart) {
    const std::string mht = readHelp();
    ASSERT_FALSE(mht.empty()) << "kespaide.mht is not beside the program";
    EXPECT_NE(mht.find("MIME-Version: 1.0\r\n"), std::string::npos);
    EXPECT_NE(mht.find("Content-Type: multipart/related;"), std::string::npos);

    const std::string key = "boundary=\"";
    const auto at = mht.find(key);
    ASSERT_NE(at, std::string::npos);
    const std::string boundary =
        "--" + mht.substr(at + key.size(), mht.find('"', at + key.size()) - at - key.size());
    const auto first = mht.find("\r\n" + boundary + "\r\n");
    const auto last = mht.find("\r\n" + boundary + "--\r\n");
    ASSERT_NE(first, std::string::npos);
    ASSERT_NE(last, std::string::npos);
    const std::string part = mht.substr(first, last - first);
    EXPECT_NE(part.find("Content-Type: text/html"), std::string::npos);
    EXPECT_NE(part.find("\r\n\r\n<!DOCTYPE html>"), std::string::npos);
    EXPECT_NE(part.find("</html>"), std::string::npos);

    // Declared 7bit: every byte must be ASCII, every line within the MIME limit.
    for (unsigned char c : mht)
        ASSERT_LT(c, 128u);
    std::istringstream lines(mht);
    for (std::string line; std::getline(lines, line);)
        ASSERT_LT(line.size(), 998u);
}

TEST(KespAide, CoversEveryCommandInFrench) {
    const std::string mht = readHelp();
    for (const char* topic :
         {"lang=\"fr\"", "Ce que Kesp mesure", "Taille utile", "Taille r&eacute;elle",
          "Espace perdu", "totaux", "optimisation des clusters", "1025 &rarr; 2048 Mo",
          "32 &rarr; 128 Go", "excel.txt", "liste.2005excel.txt", "Imprimer", "<code>lp</code>",
          "Informations sur la partition"}) {
        EXPECT_NE(mht.find(topic), std::string::npos) << topic;
    }
}

// The page browsers open on Linux: the archive's HTML part as it stands, line ends aside.
TEST(KespAide, PageIsTheArchivesHtmlPart) {
    const std::string page = readFile(KESP_BIN_DIR "/kespaide.html");
    ASSERT_FALSE(page.empty()) << "kespaide.html is not beside the program";
    EXPECT_EQ(page.rfind("<!DOCTYPE html>\n", 0), 0u);
    EXPECT_EQ(page.find('\r'), std::string::npos);
    std::string mht = readHelp();
    std::string unix;
    for (char c : mht)
        if (c != '\r') unix += c;
    const auto start = unix.find("<!DOCTYPE html>");
    const auto end = unix.find("</html>\n");
    ASSERT_NE(end, std::string::npos);
    EXPECT_EQ(page, unix.substr(start, end + 8 - start));
}

} // namespace
