// The result window's letter run driven through the screen runtime as the
// program drives it: for each client of SELECTES, in postcode order, the
// INTERFA "EX**" records are replaced and "Execute,BOUTON1.CLIC" is sent;
// closing the window finishes the PDF. Real engine, temporary installation.
#include <gtest/gtest.h>

#include <QString>
#include <QXmlStreamReader>

#include "project/letter_run_test_fixture.h"
#include "src/outputs/letter_package.h"
#include "src/outputs/letter_template.h"

namespace vz::project {
namespace {

// The text of an XML document, as a reader gets it.
std::string XmlText(const std::string& xml) {
  QXmlStreamReader reader(QByteArray::fromStdString(xml));
  QString text;
  while (!reader.atEnd()) {
    if (reader.readNext() == QXmlStreamReader::Characters) text += reader.text();
  }
  return reader.hasError() ? "(error)" : text.toStdString();
}

TEST_F(LetterRunTest, HtmlLettersOnePerClientInPostcodeOrderAndOnePdf) {
  runtime::WriteFile(data_ / "BILAN.HTM",
                     "<html><head><meta charset=\"utf-8\"></head><body>"
                     "<p>Cher client #0000A, #0000D — à bientôt.</p></body></html>");
  Extract("REQ00001", kClients);
  OpenResult("REQ00001", "BILAN.HTM");
  ProgramProducesLetters(kByPostcode);
  const fs::path folder = data_ / "LETTRES" / "REQ00001-BILAN";
  EXPECT_FALSE(fs::exists(folder)) << "the letters of a pass are put in place when it ends";
  ASSERT_EQ(session_->Execute("Ferme").value, 0);
  EXPECT_EQ(FilesIn(data_ / "LETTRES"),
            (std::vector<std::string>{
                "REQ00001-BILAN/0001-010000021.HTM", "REQ00001-BILAN/0002-010000031.HTM",
                "REQ00001-BILAN/0003-010000011.HTM", "REQ00001-BILAN/lettres.pdf"}));
  EXPECT_EQ(ReadBytes(folder / "0001-010000021.HTM"),
            "<html><head><meta charset=\"utf-8\"></head><body>"
            "<p>Cher client MARTIN, 13001 — à bientôt.</p></body></html>");
  EXPECT_NE(ReadBytes(folder / "0002-010000031.HTM").find("D&#39;ARC &amp; CIE, 75011"),
            std::string::npos);
  EXPECT_NE(ReadBytes(folder / "0003-010000011.HTM").find("ÉTIENNE, 91000"), std::string::npos);
  const std::string pdf = ReadBytes(folder / "lettres.pdf");
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
  EXPECT_EQ(PdfPageCount(pdf), 3);
}

// A disk that fills in the middle of a pass (a file size limit plays the full
// disk): nothing of the pass is put in place, the previous letters and PDF stay
// whole, no staging folder is left, and the adviser is told, never that the
// letters are written.
TEST_F(LetterRunTest, LettersThatCannotBeWrittenLeaveThePreviousOnesWhole) {
  runtime::WriteFile(data_ / "RELANCE.TXT", "Bonjour #0000A\n" + std::string(200000, '.'));
  Extract("REQ00007", kClients);
  OpenResult("REQ00007", "RELANCE.TXT");
  ProgramProducesLetters(kByPostcode);
  ASSERT_EQ(session_->Execute("Ferme").value, 0);
  const fs::path folder = data_ / "LETTRES" / "REQ00007-RELANCE";
  const std::vector<std::string> previous = FilesIn(folder);
  const std::string previous_pdf = ReadBytes(folder / "lettres.pdf");
  ASSERT_EQ(previous.size(), 4u);

  OpenResult("REQ00007", "RELANCE.TXT");
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit full_disk{100000, limit.rlim_max};
  ::setrlimit(RLIMIT_FSIZE, &full_disk);
  ProgramProducesLetters({kByPostcode[0], kByPostcode[1]});
  ::setrlimit(RLIMIT_FSIZE, &limit);
  const size_t before = front_.messages.size();
  ASSERT_EQ(session_->Execute("Execute,BOUTON1.FIN").value, 0);
  ASSERT_EQ(front_.messages.size(), before + 1);
  EXPECT_EQ(front_.messages.back().first, runtime::MessageKind::kError);
  EXPECT_NE(front_.messages.back().second.find(Cp1252("Les lettres n'ont pas pu être écrites")),
            std::string::npos);
  EXPECT_EQ(FilesIn(folder), previous);
  EXPECT_EQ(ReadBytes(folder / "lettres.pdf"), previous_pdf);
  EXPECT_EQ(FilesIn(data_ / "LETTRES").size(), previous.size()) << "no staging folder left";
}

// A letters folder that cannot be made (a file in its place) is told when the
// pass ends.
TEST_F(LetterRunTest, AFolderThatCannotBeMadeIsReported) {
  runtime::WriteFile(data_ / "RELANCE.TXT", "Bonjour #0000A\n");
  runtime::WriteFile(data_ / "LETTRES", "a file in the way");
  Extract("REQ00008", kClients);
  OpenResult("REQ00008", "RELANCE.TXT");
  ProgramProducesLetters(kByPostcode);
  ASSERT_EQ(session_->Execute("Execute,BOUTON1.FIN").value, 0);
  ASSERT_FALSE(front_.messages.empty());
  EXPECT_EQ(front_.messages.back().first, runtime::MessageKind::kError);
  EXPECT_NE(front_.messages.back().second.find("REQ00008-RELANCE"), std::string::npos);
  EXPECT_TRUE(fs::is_regular_file(data_ / "LETTRES"));
}

// The adviser stopped the letters after two of three: the two are put in place
// as the pass's set, replacing the previous letters, and the message says so.
TEST_F(LetterRunTest, AStoppedPassPutsTheLettersWrittenInPlaceAndSaysSo) {
  runtime::WriteFile(data_ / "RELANCE.TXT", "Bonjour #0000A\n");
  Extract("REQ00009", kClients);
  OpenResult("REQ00009", "RELANCE.TXT");
  ProgramProducesLetters(kByPostcode);
  session_->Execute("Execute,BOUTON1.FIN");
  ProgramProducesLetters({kByPostcode[0], kByPostcode[1]});
  session_->Execute("Execute,BOUTON1.FIN");
  const fs::path folder = data_ / "LETTRES" / "REQ00009-RELANCE";
  EXPECT_EQ(FilesIn(folder),
            (std::vector<std::string>{"0001-010000021.TXT", "0002-010000031.TXT", "lettres.pdf"}));
  EXPECT_EQ(PdfPageCount(ReadBytes(folder / "lettres.pdf")), 2);
  ASSERT_FALSE(front_.messages.empty());
  EXPECT_EQ(front_.messages.back().first, runtime::MessageKind::kInfo);
  EXPECT_EQ(front_.messages.back().second.rfind(
                Cp1252("Lettres arrêtées : 2 lettres sur 3 ont été écrites ; elles remplacent"), 0),
            0u)
      << front_.messages.back().second;
  EXPECT_NE(front_.messages.back().second.find("REQ00009-RELANCE/lettres.pdf."), std::string::npos);
}

// The program's letters through the progress window: the values written for
// reading that it leaves in VALEURS go into the document, INTERFA keeps the
// stored ones, and the table is emptied for the next client.
TEST_F(LetterRunTest, TheDocumentTakesTheValuesWrittenForReading) {
  runtime::WriteFile(data_ / "BILAN.TXT", "#0000A : #4000011 euros, le #0000I1.\n");
  Extract("REQ00010", {kClients[1]});
  OpenResult("REQ00010", "BILAN.TXT");
  ASSERT_EQ(session_->Execute("Ouvre,EX_LETTRES").value, 0);
  session_->Execute("AFFICHE,Nom_Lettre=BILAN.TXT");
  session_->Execute("AFFICHE,REQUETE=REQ00010");
  session_->Execute("Table,Ajoute,VALEURS,0000A\tMARTIN");
  session_->Execute("Table,Ajoute,VALEURS,4000011\t154 872");
  session_->Execute("Table,Ajoute,VALEURS,0000I1\t18/05/1968");
  ProgramMerges({{"0000A", "MARTIN"}, {"4000011", "  154872"}, {"0000I1", "19680518"}});
  EXPECT_TRUE(session_->CurrentWindow()->FindField("VALEURS")->rows.empty());
  session_->Execute("Ferme");
  session_->Execute("Execute,BOUTON1.FIN");
  EXPECT_EQ(ReadBytes(data_ / "LETTRES" / "REQ00010-BILAN" / "0001-010000021.TXT"),
            "MARTIN : 154 872 euros, le 18/05/1968.\n");
  db::Hlitrecherche("INTERFA", "MOTCLEF", "EX**4000011");
  ASSERT_FALSE(db::Hendehors());
  EXPECT_EQ(db::CurrentInterface().LineText(), "  154872\t") << "INTERFA keeps the stored form";
}

// The shipped Word and OpenDocument samples, merged by the window code with
// the values written for reading (amounts, zero, dates): the letter and the
// gathered document hold them, INTERFA keeps the stored form.
TEST_F(LetterRunTest, WordAndOpenDocumentSamplesTakeTheValuesWrittenForReading) {
  for (const auto& [name, expected] :
       {std::pair<std::string, std::string>{
            "ENTRETIEN.DOCX",
            "Vos revenus du foyer s'élèvent à 154 872 € par an et votre "
            "patrimoine est estimé à 0 €."},
        std::pair<std::string, std::string>{
            "PATRIMOINE.ODT",
            "Votre patrimoine est aujourd'hui estimé à 0 €, dont 1 200 € de "
            "liquidités. Né(e) le 18/05/1968, vous avez 58 ans"}}) {
    fs::copy_file(fs::path(VZ_PROJECT_DIR) / "templates" / name, data_ / name);
    Extract("REQ00011", {kClients[1]});
    OpenResult("REQ00011", name);
    ASSERT_EQ(session_->Execute("Ouvre,EX_LETTRES").value, 0);
    session_->Execute("AFFICHE,Nom_Lettre=" + name);
    session_->Execute("AFFICHE,REQUETE=REQ00011");
    for (const char* row : {"0000A\tMARTIN", "4000012\t154 872", "SC00A11\t0", "0500011\t1 200",
                            "0000I1\t18/05/1968", "0000H1\t58"}) {
      session_->Execute(std::string("Table,Ajoute,VALEURS,") + row);
    }
    ProgramMerges({{"0000A", "MARTIN"},
                   {"4000012", "  154872"},
                   {"SC00A11", "        "},
                   {"0500011", "    1200"},
                   {"0000I1", "19680518"},
                   {"0000H1", " 58"}});
    session_->Execute("Ferme");
    session_->Execute("Execute,BOUTON1.FIN");
    const fs::path folder = data_ / "LETTRES" / ("REQ00011-" + name.substr(0, name.find('.')));
    const outputs::LetterFormat format = *outputs::LetterFormatOf(name);
    const std::string part(outputs::MainPartName(format));
    const std::string extension = name.substr(name.find('.') + 1);
    for (const std::string& file :
         {"0001-010000021." + extension, format == outputs::LetterFormat::kDocx
                                             ? std::string("lettres.docx")
                                             : std::string("lettres.odt")}) {
      const std::optional<std::string> main =
          outputs::ReadPackagePart(ReadBytes(folder / file), part);
      ASSERT_TRUE(main) << file;
      EXPECT_NE(XmlText(*main).find(expected), std::string::npos) << *main;
    }
    db::Hlitrecherche("INTERFA", "MOTCLEF", "EX**4000012");
    ASSERT_FALSE(db::Hendehors());
    EXPECT_EQ(db::CurrentInterface().LineText(), "  154872\t");
    ASSERT_FALSE(front_.messages.empty());
    EXPECT_NE(front_.messages.back().second.find(Cp1252("Le document à imprimer : ")),
              std::string::npos)
        << front_.messages.back().second;
    session_->Execute("Ferme");
  }
}

// RTF letters are gathered into one RTF; a flat ODF template without an
// office text body gives its letters, and a word that they were not gathered.
TEST_F(LetterRunTest, RtfAndFlatOdfLettersGetNoPdf) {
  runtime::WriteFile(data_ / "invitation.rtf", "{\\rtf1\\ansi \\b#0000A\\b0\\par}");
  runtime::WriteFile(data_ / "Note.fodt", "<?xml version=\"1.0\"?><t>#0000A</t>");
  Extract("REQ00002", kClients);
  OpenResult("REQ00002", "invitation.rtf");
  ProgramProducesLetters(kByPostcode);
  session_->Execute("Ferme");
  OpenResult("REQ00002", "Note.fodt");
  ProgramProducesLetters(kByPostcode);
  session_->Execute("Ferme");
  const fs::path rtf = data_ / "LETTRES" / "REQ00002-invitation";
  EXPECT_EQ(FilesIn(rtf), (std::vector<std::string>{"0001-010000021.rtf", "0002-010000031.rtf",
                                                    "0003-010000011.rtf", "lettres.rtf"}));
  EXPECT_EQ(ReadBytes(rtf / "lettres.rtf"),
            "{\\rtf1\\ansi \\b MARTIN\\b0\\par\r\n\\page\r\n\\ansi \\b D'ARC & CIE\\b0\\par"
            "\r\n\\page\r\n\\ansi \\b \\'c9TIENNE\\b0\\par}");
  EXPECT_EQ(ReadBytes(rtf / "0003-010000011.rtf"), "{\\rtf1\\ansi \\b \\'c9TIENNE\\b0\\par}");
  EXPECT_EQ(ReadBytes(data_ / "LETTRES" / "REQ00002-Note" / "0002-010000031.fodt"),
            "<?xml version=\"1.0\"?><t>D&#39;ARC &amp; CIE</t>");
  EXPECT_EQ(FilesIn(data_ / "LETTRES" / "REQ00002-Note").size(), 3u);
}

TEST_F(LetterRunTest, TemplatesOutsideTheDataDirectoryOrMissingWriteNothing) {
  runtime::WriteFile(root_ / "DEHORS.TXT", "#0000A");
  runtime::WriteFile(data_ / "SOUS" / "LETTRE.TXT", "#0000A");
  runtime::WriteFile(data_ / "LETTRE.DOC", "#0000A");
  Extract("REQ00003", kClients);
  for (const char* name :
       {"../DEHORS.TXT", "..\\DEHORS.TXT", "SOUS/LETTRE.TXT", "SOUS\\LETTRE.TXT",
        "/etc/hostname.txt", "C:LETTRE.TXT", "..", "ABSENTE.TXT", "LETTRE.DOC", "", "   "}) {
    OpenResult("REQ00003", name);
    ProgramProducesLetters(kByPostcode);
    session_->Execute("Ferme");
    EXPECT_FALSE(fs::exists(data_ / "LETTRES")) << name;
  }
  EXPECT_FALSE(fs::exists(root_ / "LETTRES"));
  // One note per pass, not one per client.
  int notes = 0;
  for (const std::string& line : Notes())
    notes += line.find("RESULTAT.BOUTON1") != std::string::npos ? 1 : 0;
  EXPECT_EQ(notes, 11);
}

TEST_F(LetterRunTest, OddQueryAndClientNamesStayInsideTheLettersFolder) {
  runtime::WriteFile(data_ / "LETTRE.TXT", "#0000A");
  Extract("Q", {{"01/../..", "10000", "X"}, {"01 AB\xE9", "20000", "Y"}});
  OpenResult("../../x", "LETTRE.TXT");
  ProgramMerges({{"0000A", "X"}});
  ProgramMerges({{"0000A", "Y"}});
  session_->Execute("Ferme");
  EXPECT_EQ(
      FilesIn(data_ / "LETTRES"),
      (std::vector<std::string>{"______x-LETTRE/0001-01______.TXT",
                                "______x-LETTRE/0002-01_AB_.TXT", "______x-LETTRE/lettres.pdf"}));
  for (const auto& entry : fs::directory_iterator(root_))
    EXPECT_TRUE(entry.path().filename() != "x-LETTRE" && entry.path().filename() != "LETTRES")
        << entry.path();
}

TEST_F(LetterRunTest, PressingLettersAgainReplacesTheFirstPass) {
  runtime::WriteFile(data_ / "RELANCE.TXT", "Bonjour #0000A\n");
  Extract("REQ00004", kClients);
  OpenResult("REQ00004", "RELANCE.TXT");
  ProgramProducesLetters(kByPostcode);
  // Files of the folder that are no earlier letters stay.
  runtime::WriteFile(data_ / "LETTRES" / "REQ00004-RELANCE" / "notes.txt", "mes notes");
  runtime::WriteFile(data_ / "LETTRES" / "REQ00004-RELANCE" / "123-court.TXT", "x");
  runtime::WriteFile(data_ / "LETTRES" / "REQ00004-RELANCE" / "12345-010000099.TXT", "x");
  // The adviser presses "Lettres" again after the extraction shrank.
  Extract("REQ00004", {kClients[0]});
  ProgramProducesLetters({kClients[0]});
  session_->Execute("Ferme");
  const fs::path folder = data_ / "LETTRES" / "REQ00004-RELANCE";
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"0001-010000011.TXT", "123-court.TXT",
                                                       "lettres.pdf", "notes.txt"}));
  EXPECT_EQ(ReadBytes(folder / "0001-010000011.TXT"), Cp1252("Bonjour ÉTIENNE\n"));
  EXPECT_EQ(PdfPageCount(ReadBytes(folder / "lettres.pdf")), 1);
}

TEST_F(LetterRunTest, SecondPassInTheSameWindowStartsNumberingAgain) {
  runtime::WriteFile(data_ / "RELANCE.TXT", "Bonjour #0000A\n");
  Extract("REQ00005", kClients);
  OpenResult("REQ00005", "RELANCE.TXT");
  ProgramProducesLetters(kByPostcode);
  ProgramProducesLetters(kByPostcode);
  session_->Execute("Ferme");
  const fs::path folder = data_ / "LETTRES" / "REQ00005-RELANCE";
  EXPECT_EQ(FilesIn(folder).size(), 4u);
  EXPECT_EQ(PdfPageCount(ReadBytes(folder / "lettres.pdf")), 3);
}

TEST_F(LetterRunTest, ASessionEndingWithTheWindowOpenStillFinishesItsPdf) {
  runtime::WriteFile(data_ / "RELANCE.TXT", "Bonjour #0000A\n");
  Extract("REQ00006", kClients);
  OpenResult("REQ00006", "RELANCE.TXT");
  ProgramProducesLetters(kByPostcode);
  session_.reset();
  const std::string pdf = ReadBytes(data_ / "LETTRES" / "REQ00006-RELANCE" / "lettres.pdf");
  EXPECT_NE(pdf.find("%%EOF"), std::string::npos);
  EXPECT_EQ(PdfPageCount(pdf), 3);
  // A new session starts clean: its first letter is numbered 0001 again.
  StartSession();
  OpenResult("REQ00006", "RELANCE.TXT");
  ProgramMerges({{"0000A", "MARTIN"}});
  EXPECT_TRUE(fs::exists(data_ / "LETTRES" / "REQ00006-RELANCE" / "0001-010000021.TXT"));
}

TEST_F(LetterRunTest, TheProjectsResultWindowMergesTheSampleTemplate) {
  fs::copy_file(fs::path(VZ_PROJECT_DIR) / "templates" / "BILAN.HTM", data_ / "BILAN.HTM");
  fs::copy_file(fs::path(VZ_PROJECT_DIR) / "templates" / "RELANCE.TXT", data_ / "RELANCE.TXT");
  // The project's own library and code, as the program runs them.
  session_.reset();
  session_ = vz::testing::StartProjectSession(front_, *transcript_, installation_.runtime_context(),
                                              VZ_PROJECT_DIR);
  ASSERT_NE(session_, nullptr);
  Extract("REQ00007", kClients);
  ASSERT_EQ(session_->Execute("Ouvre,RESULTAT").value, 0);
  ASSERT_EQ(session_->Execute("AFFICHE,REQUETE=REQ00007").value, 0);
  ASSERT_EQ(session_->Execute("AFFICHE,Nom_Lettre=BILAN.HTM").value, 0);
  for (const Client& client : kByPostcode) {
    ProgramMerges({{"0000M", "Madame"},
                   {"0000A", client.name},
                   {"0000E", Cp1252("ÉVRY")},
                   {"4000011", "   45210"},
                   {"0000J", Cp1252("Mariée")}});
  }
  ASSERT_EQ(session_->Execute("Ferme").value, 0);
  const fs::path folder = data_ / "LETTRES" / "REQ00007-BILAN";
  EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"0001-010000021.HTM", "0002-010000031.HTM",
                                                       "0003-010000011.HTM", "lettres.pdf"}));
  const std::string letter = ReadBytes(folder / "0003-010000011.HTM");
  EXPECT_NE(letter.find("Madame #0000B ÉTIENNE"), std::string::npos) << "no record, kept";
  EXPECT_NE(letter.find("(Mariée)"), std::string::npos);
  EXPECT_NE(letter.find("   45210 €"), std::string::npos);
  EXPECT_EQ(PdfPageCount(ReadBytes(folder / "lettres.pdf")), 3) << "one page per short letter";
}

}  // namespace
}  // namespace vz::project
