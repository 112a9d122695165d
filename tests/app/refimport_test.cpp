#include "app/refimport.h"

#include "app/textcleaning.h"

#include "platform/rtl/clock.h"
#include "platform/rtl/datetime.h"
#include "tests/app/editortables.h"
#include "tests/support/testing.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

const String Resolver = QStringLiteral("https://doi.org/");

String dataDir() { return SourcePath(QStringLiteral("tests/app/data/")); }

QByteArray dataBytes(const String& Name) {
  return FileBytes(dataDir() + Name);
}

// Every test writes the files it reads into a folder of its own: the import
// deletes what it has read.
class RefImportTest : public ::testing::Test {
protected:
  String write(const String& Name, const QByteArray& Bytes) {
    const String Path = Dir.filePath(Name);
    WriteFileBytes(Path, Bytes);
    return Path;
  }
  TReferenceText read(const String& Name, const QByteArray& Bytes) {
    return ReadReferenceFile(write(Name, Bytes), Resolver);
  }
  // The Reason of the EReferenceFileError that reading Path raises; "" when
  // it raises none.
  String failure(const String& Path) {
    try {
      ReadReferenceFile(Path, Resolver);
    } catch (const EReferenceFileError& E) {
      EXPECT_EQ(E.Message, "Data error");
      return E.Reason;
    }
    ADD_FAILURE() << "no EReferenceFileError for " << Path.toStdString();
    return String();
  }

  QTemporaryDir Dir;
};

TEST_F(RefImportTest, ExtensionChoosesTheFormat) {
  struct Case {
    const char* Name;
    TReferenceFormat Format;
  } Cases[] = {
      {"a.ris", TReferenceFormat::Ris},        {"a.RIS", TReferenceFormat::Ris},
      {"/x.y/a.Ris", TReferenceFormat::Ris},   {"a.nbib", TReferenceFormat::Medline},
      {"a.txt", TReferenceFormat::Medline},    {"a.ris.txt", TReferenceFormat::Medline},
      {"ris", TReferenceFormat::Medline},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    EXPECT_EQ(ReferenceFormatOf(C.Name), C.Format);
  }
}

// The exported files of real tools, each read to the citation line its tag
// tables give.  Only the first record of a file counts.
TEST_F(RefImportTest, RealExportsGiveTheirFirstRecord) {
  struct Case {
    const char* File;
    const char* Citation;
    const char* Abstract;
  } Cases[] = {
      {"ris_bom_repeated_tags.ris", "Cocke, Harrison W. Editorials. kmptnd. 2001;:193-194.  doi:no", "abstract0"},
      {"ris_empty_tag.ris",
       "Fanning E.. Outcome Measures After Shoulder Stabilization in the Athletic Population: A Systematic Review "
       "of Clinical and Patient-Reported Metrics. Orthopaedic Journal of Sports Medicine. 2020;9:.  "
       "doi:http://dx.doi.org/10.1177/2325967120950040",
       "Background: Athletic endeavor can require the \"athletic shoulder\" to tolerate significant load through "
       "supraphysiological range and often under considerable repetition."},
      {"ris_utf_chars.ris",
       "Dobrokhotova Y, Yusupova R, Ozerova R, et al. . Gynecology, Obstetrics and Perinatology. 2009;3:52-57. ",
       "Состояние рецепторного аппарата эндометрия и метаболизм эстрогенов при гиперплазиях эндометрия в позднем "
       "репродуктивном периоде"},
      {"medline_multiple_entries.txt",
       "Long V, Marland H. From danger and motherhood to health and beauty: health advice for the factory girl in "
       "early twentieth-century Britain. 20 Century Br Hist. 2009;20(4):454-81.",
       "Lorem ipsum abstract"},
      {"medline_single_name_author.nbib",
       "Shruthi BS, Vinodhkumar P, Selvamani, et al. Proteomics: A new perspective for cancer. Adv Biomed Res. "
       "2016 Apr 19;5:67. doi: 10.4103/2277-9175.180636. eCollection 2016.",
       "some things will be described Copyright 2015 Tschechlov Press."},
      {"medline_pmc.txt",
       "Takeuchi Y, Osaki H, Matsumine H, et al. A method package for electrophysiological evaluation of "
       "reconstructed or regenerated facial nerves in rodents. MethodsX. 2018 Mar 30;5:283-98. "
       "doi:10.1016/j.mex.2018.03.007.",
       ""},
      // RIS content in a .txt file is read as MEDLINE: RIS tags that MEDLINE
      // shares (AU, AB, TI) count.
      {"ris_as_txt_blank_lines.txt", "Vaimann T, Kudrjavtsev O, Kilk A, et al.  ", ""},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.File);
    const TReferenceText Text = read(C.File, dataBytes(C.File));
    EXPECT_EQ(Text.Citation, String::fromUtf8(C.Citation));
    EXPECT_EQ(Text.Abstract, String::fromUtf8(C.Abstract));
  }
}

TEST_F(RefImportTest, LongAbstractLinesAreTakenWhole) {
  TReferenceText Text = read("extraneous.ris", dataBytes("ris_extraneous_data.ris"));
  // the second record (Marxus, 2006) is not mixed in
  EXPECT_EQ(Text.Citation, "Marx K, Lindgren A. Title of reference. Lorem. 2014;3:e0815. ");
  EXPECT_EQ(Text.Abstract.size(), 504);
  EXPECT_TRUE(Text.Abstract.startsWith("BACKGROUND: Lorem ipsum dolor sit amet"));
  EXPECT_TRUE(Text.Abstract.endsWith("Nullam dictum felis eu pede mollis pretium."));

  Text = read("export.txt", dataBytes("ris_as_txt_no_end_tags.txt"));
  EXPECT_EQ(Text.Citation,
            "Abdel-Tawab M, Werz O, Schubert-Zsilavecz M, et al. Boswellia serrata: an overall assessment of in "
            "vitro, preclinical, pharmacokinetic and clinical data ");
  EXPECT_EQ(Text.Abstract.size(), 2765);
  EXPECT_TRUE(Text.Abstract.startsWith("Non-steroidal anti-inflammatory drug (NSAID) intake"));
  EXPECT_TRUE(Text.Abstract.endsWith("in further pharmacological studies and clinical trials."));
}

TEST_F(RefImportTest, RisAuthorRules) {
  struct Case {
    const char* Name;
    const char* Lines;
    const char* Authors;
  } Cases[] = {
      {"AU: one-letter rest gives no initial, the fourth is not taken",
       "AU  - Smith, John\nAU  - Jones, K.\nAU  - Lee, M\nAU  - Kim, S\n", "Smith J, Jones K, Lee , et al"},
      {"exactly three authors end with et al", "AU  - Smith, John\nAU  - Jones, Kim\nAU  - Lee, Mo\n",
       "Smith J, Jones K, Lee M, et al"},
      {"AU without a comma loses its first period", "AU  - J.R. Smith\n", "JR. Smith"},
      {"single-name author", "AU  - Cocke\nAU  - Selvamani\n", "Cocke, Selvamani"},
      {"A1 takes the first letter whatever the rest's length", "A1  - Lee, M\nA1  - Kim,\n", "Lee M, Kim "},
      {"A1 without a comma is taken as it is", "A1  - J.R. Smith\n", "J.R. Smith"},
      {"AU and A1 share the three places", "A1  - Lee, Mo\nAU  - Kim, So\nA1  - Park, Jo\nAU  - Cho, Da\n",
       "Lee M, Kim S, Park J, et al"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const QByteArray File = QByteArray("TY  - JOUR\n") + C.Lines + "TI  - T\nER  -\n";
    EXPECT_EQ(read("a.ris", File).Citation, String::fromUtf8(C.Authors) + ". T. . . ");
  }
}

TEST_F(RefImportTest, RisSourceDetails) {
  struct Case {
    const char* Name;
    const char* Lines;
    const char* Citation;
  } Cases[] = {
      {"issue replaces volume", "VL  - 15\nIS  - 3\nSP  - 123\nEP  - 129\nPY  - 2020\n",
       "Abe B. T. J. 2020;3:123-129. "},
      {"volume, no pages", "VL  - 15\nPY  - 2020\n", "Abe B. T. J. 2020;15. "},
      {"pages, no volume", "SP  - 123\nLP  - 129\nPY  - 2020\nDO  - 10.1/x\n", "Abe B. T. J. 2020:123-129. doi:10.1/x"},
      {"empty last page", "SP  - 123\nEP  -\nPY  - 2020\n", "Abe B. T. J. 2020:123."},
      {"accession number as first page", "AN  - 555\nY1  - 2020/01/15/\n", "Abe B. T. J. 2020:555."},
      {"neither", "Y1  - 2020\n", "Abe B. T. J. 2020. "},
      {"lone Y2 gives an empty year", "Y2  - 2020\n", "Abe B. T. J. . "},
      {"Y2 with a date fills in", "Y2  - 2019/05/01\n", "Abe B. T. J. 2019. "},
      {"Y2 after PY is ignored", "PY  - 2020\nY2  - 2019/05/01\n", "Abe B. T. J. 2020. "},
      {"resolver address and label leave the DOI", "M3  - https://doi.org/doi:10.1/x\n", "Abe B. T. J. .  doi:10.1/x"},
      {"later journal tag wins", "T2  - Other\nJO  - Last\n", "Abe B. T. Last. . "},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const QByteArray File = QByteArray("TY  - JOUR\nAU  - Abe, Bo\nT1  - T\nJF  - J\n") + C.Lines + "ER  -\n";
    EXPECT_EQ(read("a.ris", File).Citation, String::fromUtf8(C.Citation));
  }
}

TEST_F(RefImportTest, RisAbstractPrefersN2ToAB) {
  struct Case {
    const char* Name;
    const char* Lines;
    const char* Abstract;
  } Cases[] = {
      {"N2 alone", "N2  - From N2\n", "From N2"},
      {"AB alone", "AB  - From AB\n", "From AB"},
      {"N2 then AB", "N2  - From N2\nAB  - From AB\n", "From N2"},
      {"AB then N2", "AB  - From AB\nN2  - From N2\n", "From N2"},
      {"two AB lines: the later", "AB  - First\nAB  - Second\n", "Second"},
      {"two N2 lines: the later", "N2  - First\nN2  - Second\n", "Second"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const QByteArray File = QByteArray("TY  - JOUR\nTI  - T\n") + C.Lines + "ER  -\n";
    EXPECT_EQ(read("a.ris", File).Abstract, String::fromUtf8(C.Abstract));
  }
}

// PubMed wraps every value at 80 characters onto lines that begin with six
// blanks; the wrapped lines of the title, abstract and source belong to them.
TEST_F(RefImportTest, MedlineWrappedLinesJoinTheirValue) {
  const TReferenceText Text = read("a.nbib",
                                   "PMID- 1\n"
                                   "TI  - Effects of a drug in kidney\n"
                                   "      disease: a randomized trial.\n"
                                   "LID - 10.1000/x1 [doi]\n"
                                   "AB  - BACKGROUND: Control is poor.\n"
                                   "      METHODS: 120 adults.\n"
                                   "      RESULTS: Pressure fell.\n"
                                   "AU  - Smith J\n"
                                   "AD  - Dept of Medicine,\n"
                                   "      Boston.\n"
                                   "AU  - Lee M\n"
                                   "SO  - J Hypertens. 2019;37(5):1020-7. doi: 10.1000/x1. Epub\n"
                                   "      2019 Mar 8.\n");
  EXPECT_EQ(Text.Citation,
            "Smith J, Lee M. Effects of a drug in kidney disease: a randomized trial. J Hypertens. "
            "2019;37(5):1020-7. doi: 10.1000/x1. Epub 2019 Mar 8.");
  EXPECT_EQ(Text.Abstract, "BACKGROUND: Control is poor. METHODS: 120 adults. RESULTS: Pressure fell.");

  struct Case {
    const char* Name;
    const char* Lines;
    const char* Title;
    const char* Abstract;
  } Cases[] = {
      {"every wrapped line joins", "TI  - A\n      b\n      c\n", "A b c", ""},
      {"a tagged line is no wrap", "TI  - T\nLID - 10.1000/x [doi]\n", "T", ""},
      {"AUID is no wrap and no author", "TI  - T\nAUID- ORCID: 1\n", "T", ""},
      {"a wrap after PG drops", "TI  - T\nPG  - 1-2\n      more\n", "T", ""},
      {"a wrap after an untagged line drops", "TI  - T\nJunk\n      more\n", "T", ""},
      {"N2 wraps", "TI  - T\nN2  - x\n      y\n", "T", "x y"},
      {"an empty AB takes its wrap alone", "TI  - T\nAB  -\n      y\n", "T", "y"},
      {"a later AB replaces the wrapped one", "TI  - T\nAB  - x\n      y\nAB  - z\n", "T", "z"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TReferenceText Read = read("b.nbib", QByteArray("PMID- 1\n") + C.Lines);
    EXPECT_EQ(Read.Citation, ". " + String::fromUtf8(C.Title) + " ");
    EXPECT_EQ(Read.Abstract, String::fromUtf8(C.Abstract));
  }
}

TEST_F(RefImportTest, LineEndsAndEncodingsReadAlike) {
  const QByteArray Lf = dataBytes("medline_multiple_entries.txt");
  const TReferenceText Expected = read("lf.txt", Lf);
  QByteArray Crlf = Lf;
  Crlf.replace("\n", "\r\n");
  QByteArray Cr = Lf;
  Cr.replace("\n", "\r");
  QByteArray Mixed = Lf;
  Mixed.replace("\nTI  -", "\r\nTI  -").replace("\nPG  -", "\rPG  -");
  const QString Text = QString::fromUtf8(Lf);
  const QByteArray Utf16 = QByteArray("\xff\xfe", 2) +
                           QByteArray(reinterpret_cast<const char*>(Text.utf16()), Text.size() * 2);
  struct Case {
    const char* Name;
    QByteArray Bytes;
  } Cases[] = {
      {"CR LF", Crlf},
      {"CR", Cr},
      {"mixed", Mixed},
      {"UTF-8 byte-order mark", "\xef\xbb\xbf" + Lf},
      {"UTF-16 with its byte-order mark", Utf16},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TReferenceText Text = read("x.txt", C.Bytes);
    EXPECT_EQ(Text.Citation, Expected.Citation);
    EXPECT_EQ(Text.Abstract, Expected.Abstract);
  }
  // A mark at the very start would otherwise hide the first tag.
  EXPECT_EQ(read("bom.ris", "\xef\xbb\xbf" "AU  - Smith, John\nTI  - T\n").Citation, "Smith J. T. . . ");
}

TEST_F(RefImportTest, InvalidUtf8BecomesReplacementCharacters) {
  const TReferenceText Text = read("a.nbib", "PMID- 1\nTI  - Caf\xe9 au \xc3 lait\nPG  - 1\nAU  - Smith J\n"
                                             "AB  - \xff\xfe\x80 abstract\nSO  - J. 2020;1:2.\n");
  EXPECT_EQ(Text.Citation, QString::fromUtf8("Smith J. Caf\xef\xbf\xbd au \xef\xbf\xbd lait J. 2020;1:2."));
  EXPECT_EQ(Text.Abstract, QString::fromUtf8("\xef\xbf\xbd\xef\xbf\xbd\xef\xbf\xbd abstract"));
}

TEST_F(RefImportTest, ReadingEndsWithTheFirstRecord) {
  // RIS at "ER", MEDLINE at a blank line or the next PMID line; blank lines
  // and a stray end line before the record do not end it.
  EXPECT_EQ(read("a.ris", "\n\nER  -\nTY  - JOUR\nTI  - First\nER  -\nTY  - JOUR\nTI  - Second\nAU  - X, Y\n")
                .Citation,
            ". First. . . ");
  EXPECT_EQ(read("b.ris", "TY  - JOUR\nTI  - First\nN2  - Tumours\nER-positive tumours respond.\nTI  - Second\nER -\n"
                        "TI  - Third\n")
                .Citation,
            ". Second. . . ");
  EXPECT_EQ(read("a.nbib", "\n\nPMID- 1\nTI  - First\n\nPMID- 2\nTI  - Second\nAU  - X Y\n").Citation, ". First ");
  EXPECT_EQ(read("b.nbib", "PMID- 1\nTI  - First\nPMID- 2\nTI  - Second\n").Citation, ". First ");
}

TEST_F(RefImportTest, BadFilesRaiseDataError) {
  struct Case {
    const char* Name;
    const char* File;
    QByteArray Bytes;
    const char* Reason;  // a part of the reason
  } Cases[] = {
      {"empty RIS", "empty.ris", "", "holds no reference"},
      {"empty MEDLINE", "empty.nbib", "", "holds no reference"},
      {"blank lines only", "blank.nbib", "\n \r\n\t\n", "holds no reference"},
      {"RIS tags without values", "tags.ris", "TY  -\nAU  -\nTI  -\nJF  -\nPY  -\nDO  -\nM3  - doi:\nN2  -\nER  -\n",
       "holds no reference"},
      {"MEDLINE tags without values", "tags.nbib", "PMID-\nAU  - \nTI  -\nAB  -\nSO  -\n", "holds no reference"},
      {"no tags at all", "prose.txt", "Dear colleague,\nplease find attached.\n", "holds no reference"},
      {"binary", "image.ris", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "line 3 holds a NUL character"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    const String Path = write(C.File, C.Bytes);
    const String Reason = failure(Path);
    EXPECT_TRUE(Reason.contains(C.Reason)) << Reason.toStdString();
    EXPECT_TRUE(Reason.contains(Path)) << Reason.toStdString();
  }
}

TEST_F(RefImportTest, MissingFolderAndOversizedFilesRaiseDataError) {
  const String Missing = Dir.filePath("gone.ris");
  EXPECT_TRUE(failure(Missing).contains(Missing));
  EXPECT_FALSE(failure(Dir.path()).isEmpty());

  // sparse: no 64 MiB are written
  const String Huge = write("huge.nbib", "PMID- 1\nTI  - T\n");
  ASSERT_TRUE(QFile::resize(Huge, Int64(64) * 1024 * 1024 + 1));
  EXPECT_TRUE(failure(Huge).contains("67108865 bytes"));
}

TEST_F(RefImportTest, UnreadableFileRaisesDataError) {
  if (geteuid() == 0) GTEST_SKIP() << "file permissions do not bind root";
  const String Path = write("locked.ris", "TY  - JOUR\nTI  - T\nER  -\n");
  ASSERT_TRUE(QFile::setPermissions(Path, QFileDevice::WriteOwner));
  EXPECT_TRUE(failure(Path).contains(Path));
}

TEST_F(RefImportTest, LargeFilesAndLongLines) {
  const QByteArray Abstract(1024 * 1024, 'a');
  const TReferenceText Long = read("long.ris", "TY  - JOUR\nTI  - T\nN2  - " + Abstract + "\nER  -\n");
  EXPECT_EQ(Long.Abstract.size(), Abstract.size());

  // a 10 MB export of repeated records: the first one counts
  const QByteArray Record = dataBytes("medline_single_name_author.nbib") + "\n";
  QByteArray Export;
  while (Export.size() < 10 * 1024 * 1024) Export += Record;
  const TReferenceText Ten = read("export.nbib", Export);
  EXPECT_TRUE(Ten.Citation.startsWith("Shruthi BS, Vinodhkumar P, Selvamani, et al. Proteomics"))
      << Ten.Citation.toStdString();

  // one record of 10 MB: every line is looked at
  QByteArray Big = "PMID- 1\nTI  - T\nPG  - 1\n";
  while (Big.size() < 10 * 1024 * 1024) Big += "MH  - Humans\nAU  - Smith J\nAB  - Abstract\n";
  EXPECT_EQ(read("big.nbib", Big).Citation, "Smith J, Smith J, Smith J, et al. T ");
}

class ImportReferenceFileTest : public RefImportTest {
protected:
  ImportReferenceFileTest() : Clock(EncodeDate(2024, 3, 5)), Scope(Clock) {
    Tables.AddJournal("ABR", "Adv Biomed Res");
    Tables.AddPair(" eCollection", "", ctTitle);
    Tables.Edit();
  }
  String import(const String& Path, const String& AbstractText) {
    return ImportReferenceFile(&Tables.Catalog, &Tables.Refuse, &Tables.Journal, Path, AbstractText, Resolver);
  }

  TManualClock Clock;
  TClockScope Scope;
  apptest::TEditorTables Tables;
};

TEST_F(ImportReferenceFileTest, StoresCleansAndParsesTheCitationAndLeavesTheFileToTheEditor) {
  const String Path = write("pubmed.nbib", dataBytes("medline_single_name_author.nbib"));
  EXPECT_EQ(import(Path, "  "), Path);
  EXPECT_EQ(Tables.Text("source"),
            "Shruthi BS, Vinodhkumar P, Selvamani, et al. Proteomics: A new perspective for cancer. Adv Biomed Res. "
            "2016 Apr 19;5:67.");
  EXPECT_EQ(Tables.Text("summary"), "some things will be described Copyright 2015 Tschechlov Press.");
  EXPECT_EQ(Tables.Text("doi"), "10.4103/2277-9175.180636");
  EXPECT_EQ(Tables.Text("author"), "Shruthi");
  EXPECT_EQ(Tables.Number("data_make"), 2016);
  EXPECT_EQ(Tables.Text("journal"), "ABR");
  EXPECT_EQ(Tables.Text("data_input"), "2024-03-05");
  EXPECT_EQ(Tables.Text("file_type"), "sum");
  EXPECT_TRUE(QFileInfo::exists(Path)) << "deleted by the editor once the row is stored";
}

TEST_F(ImportReferenceFileTest, AnExistingAbstractIsNeverReplaced) {
  import(write("a.ris", "TY  - JOUR\nTI  - T\nN2  - Imported\nER  -\n"), "Typed abstract");
  EXPECT_EQ(Tables.Text("summary"), "Old abstract");
  // an empty imported abstract leaves a blank memo's field alone too
  import(write("b.ris", "TY  - JOUR\nTI  - T\nN2  - \nER  -\n"), "");
  EXPECT_EQ(Tables.Text("summary"), "Old abstract");
}

// A file that cannot be read must not empty the title or lose the file.
TEST_F(ImportReferenceFileTest, DataErrorKeepsTheTitleAndTheFile) {
  const std::vector<String> Before = Tables.Row();
  const String Empty = write("empty.ris", "");
  EXPECT_THROW(import(Empty, ""), EReferenceFileError);
  EXPECT_TRUE(QFileInfo::exists(Empty));
  EXPECT_THROW(import(Dir.filePath("gone.nbib"), ""), EReferenceFileError);
  EXPECT_EQ(Tables.Row(), Before);
  EXPECT_FALSE(Tables.Refuse.Active());
  EXPECT_FALSE(Tables.Journal.Active());
}

}  // namespace
