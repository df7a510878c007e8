#include "toolkit/IniFiles.h"
#include "toolkit/Lists.h"
#include "toolkit/SysUtils.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace ovrel::toolkit;

namespace {

using Strings = std::vector<std::string>;

Strings Lines(const TStrings& list)
{
    Strings lines;
    for (int i = 0; i < list.GetCount(); ++i)
        lines.push_back(list[i]);
    return lines;
}

const char* const LanguageFile = "; language file\n"
                                 "[Language]\n"
                                 "LangId=1031\n"
                                 "Language = Deutsch \n"
                                 "\n"
                                 "[Common]\n"
                                 "5=Öffnen\n"
                                 "7=Speichern\n"
                                 "5=Second\n"
                                 "no equals sign\n"
                                 "\n"
                                 "[Dialogs:Common]\n"
                                 "1=Abbrechen\n";

}  // namespace

TEST(TMemIniFile, ReadsSectionsAndKeysWithoutRegardToCase)
{
    TMemIniFile ini("");
    ini.SetText(LanguageFile);
    EXPECT_EQ(ini.ReadString("LANGUAGE", "language", "?"), "Deutsch");  // trimmed, any case
    EXPECT_EQ(ini.ReadInteger("language", "LANGID", 0), 1031);
    EXPECT_EQ(ini.ReadString("Common", "5", ""), "Öffnen");  // the first of duplicates
    EXPECT_EQ(ini.ReadString("Common", "missing", "def"), "def");
    EXPECT_EQ(ini.ReadString("Missing", "5", "def"), "def");

    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Lines(list), (Strings{"Language", "Common", "Dialogs:Common"}));
    ini.ReadSection("common", list);
    EXPECT_EQ(Lines(list), (Strings{"5", "7", "5"}));
    ini.ReadSectionValues("Common", list);
    EXPECT_EQ(Lines(list), (Strings{"5=Öffnen", "7=Speichern", "5=Second"}));

    EXPECT_TRUE(ini.SectionExists("dialogs:common"));
    EXPECT_FALSE(ini.SectionExists("Nothing"));
    EXPECT_TRUE(ini.ValueExists("Common", "7"));
    EXPECT_FALSE(ini.ValueExists("Common", "no equals sign"));
}

TEST(TMemIniFile, TypedReadsFallBackToTheDefault)
{
    TMemIniFile ini("");
    ini.SetText("[N]\nhex=$1F\nbad=12x\nt=1\nf=0\nfloat=1.5\nwrong=1,5\n");
    struct Row {
        const char* key;
        int integer;
        bool boolean;
        double number;
    };
    const Row rows[] = {
        {"hex", 31, true, -1},    {"bad", -1, true, -1},   {"t", 1, true, 1},        {"f", 0, false, 0},
        {"float", -1, true, 1.5}, {"wrong", -1, true, -1}, {"absent", -1, true, -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key);
        EXPECT_EQ(ini.ReadInteger("N", row.key, -1), row.integer);
        EXPECT_EQ(ini.ReadBool("N", row.key, true), row.boolean);
        EXPECT_EQ(ini.ReadFloat("N", row.key, -1), row.number);
    }
}

TEST(TMemIniFile, WritingKeepsCommentsOrderAndUntouchedKeys)
{
    TempFolder folder;
    const std::string name = folder.Write("f.ini", LanguageFile);
    {
        TMemIniFile ini(name);
        ini.WriteString("COMMON", "7", "Sichern");  // replaced in place, the file's spelling kept
        ini.WriteString("Common", "9", "Neu");  // added after the section's last key
        ini.WriteInteger("Extra", "Count", 3);  // a new section at the end
        ini.WriteBool("Extra", "On", true);
        ini.WriteFloat("Extra", "Factor", 1.6f);
        ini.UpdateFile();
    }
    EXPECT_EQ(TempFolder::Read(name), "; language file\n"
                                      "[Language]\n"
                                      "LangId=1031\n"
                                      "Language = Deutsch \n"
                                      "\n"
                                      "[Common]\n"
                                      "5=Öffnen\n"
                                      "7=Sichern\n"
                                      "5=Second\n"
                                      "no equals sign\n"
                                      "9=Neu\n"
                                      "\n"
                                      "[Dialogs:Common]\n"
                                      "1=Abbrechen\n"
                                      "\n"
                                      "[Extra]\n"
                                      "Count=3\n"
                                      "On=1\n"
                                      "Factor=1.60000002384186\n");
    TMemIniFile back(name);
    EXPECT_EQ(back.ReadFloat("extra", "factor", 0), 1.60000002384186);
}

TEST(TMemIniFile, EraseAndDelete)
{
    TMemIniFile ini("");
    ini.SetText(LanguageFile);
    ini.DeleteKey("common", "5");  // every line of the key
    TStringList keys;
    ini.ReadSection("Common", keys);
    EXPECT_EQ(Lines(keys), (Strings{"7"}));
    ini.EraseSection("LANGUAGE");
    EXPECT_FALSE(ini.SectionExists("Language"));
    EXPECT_EQ(ini.GetText().find("LangId"), std::string::npos);
}

TEST(TMemIniFile, Latin1LinesAreReadAndWrittenAsUtf8)
{
    TempFolder folder;
    const std::string name = folder.Write("latin.ini", "[Common]\r\n1=K\xE4se\r\n2=na\xC3\xAFve\r\n");
    TMemIniFile ini(name);
    EXPECT_EQ(ini.ReadString("Common", "1", ""), "K\xC3\xA4se");
    EXPECT_EQ(ini.ReadString("Common", "2", ""), "na\xC3\xAFve");
    ini.UpdateFile();
    EXPECT_TRUE(IsValidUtf8(TempFolder::Read(name)));
}

TEST(TMemIniFile, ValuesWithLineBreaksStayOnOneLine)
{
    TMemIniFile ini("");
    ini.WriteString("S", "k", "one\ntwo");
    ini.WriteString("S", "next", "x");
    EXPECT_EQ(ini.ReadString("S", "k", ""), "one two");
    EXPECT_EQ(ini.ReadString("S", "next", ""), "x");
    EXPECT_FALSE(ini.ValueExists("S", "two"));
}

TEST(TMemIniFile, MissingFileIsEmptyAndUnwritableFileRaises)
{
    TempFolder folder;
    TMemIniFile ini(folder.File("none/x.ini"));
    TStringList sections;
    ini.ReadSections(sections);
    EXPECT_EQ(sections.GetCount(), 0);
    ini.WriteString("A", "b", "c");
    EXPECT_THROW(ini.UpdateFile(), EStreamError);
}

TEST(TIniFile, EveryWriteReachesTheFile)
{
    TempFolder folder;
    const std::string name = folder.File("now.ini");
    TIniFile ini(name);
    ini.WriteString("Make", "Model", "1.5");
    EXPECT_EQ(TempFolder::Read(name), "[Make]\nModel=1.5\n");
    ini.DeleteKey("Make", "Model");
    EXPECT_EQ(TempFolder::Read(name), "[Make]\n");
    ini.WriteString("Other", "k", "v");
    ini.EraseSection("make");
    EXPECT_EQ(TempFolder::Read(name), "[Other]\nk=v\n");
    TIniFile again(name);
    EXPECT_EQ(again.ReadString("other", "K", ""), "v");
}

TEST(TMemIniFile, ARepeatedSectionReadsAsOne)
{
    TMemIniFile ini("");
    ini.SetText("[Canon]\nEOS 10D=1.6\n[Nikon]\nD70=1.5\n[canon]\nEOS 300D=1.6\nEOS 10D=9\n");
    TStringList list;
    ini.ReadSections(list);
    EXPECT_EQ(Lines(list), (Strings{"Canon", "Nikon"}));
    ini.ReadSectionValues("CANON", list);
    EXPECT_EQ(Lines(list), (Strings{"EOS 10D=1.6", "EOS 300D=1.6", "EOS 10D=9"}));
    EXPECT_EQ(ini.ReadString("Canon", "EOS 300D", ""), "1.6");
    EXPECT_EQ(ini.ReadString("Canon", "EOS 10D", ""), "1.6");
    ini.WriteString("Canon", "EOS 10D", "1.7");  // the first occurrence changes, the rest stays
    EXPECT_NE(ini.GetText().find("EOS 10D=9"), std::string::npos);
    EXPECT_EQ(ini.ReadString("canon", "eos 10d", ""), "1.7");
}
