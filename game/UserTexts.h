#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Every text the program shows or writes for its user, in Windows-1252 and byte for byte as it has always
// shown it; the dialogs' own texts stay in resources/Orvella.rc.
namespace orvella::texts {

// The conversion's log: its first line, its headings and its lines.
inline std::string logTitleLine(std::string_view saveFileName) {
    return "File di Log per " + std::string(saveFileName) + "\n";
}
inline constexpr const char* DeletedTopicsHeading = "\n- TOPIC SEGNATI COME \"DELETED\" -\n\n";
inline constexpr const char* UntranslatedTopicsHeading = "\n- HYPERLINK NON TRADOTTI -\n\n";
inline constexpr const char* UntranslatedJournalHeading = "\n- FRASI DEL JOURNAL NON TRADOTTE -\n\n";
// Kept as the program has always written it, "MONI" included.
inline constexpr const char* QuestsNotFoundHeading = "\n- MONI QUEST NON TROVATI -\n\n";
inline std::string questNotFoundLine(std::string_view questName) {
    return "Nome Quest: " + std::string(questName) + "\n";
}
inline std::string untranslatedParagraphLines(std::string_view paragraph) {
    return "--- " + std::string(paragraph) + "\n\n";
}

// A game file or a save that cannot be read: the file, what is wrong with it, and where reading stopped.
inline std::string invalidFile(const std::string& fileName, const std::string& problem,
                               const std::string& recordTag, std::int64_t recordIndex,
                               const std::string& subrecordTag, std::uint64_t offset) {
    std::string text = "Il file \"" + fileName + "\" non \xE8 valido: " + problem + ".\n";
    if (!recordTag.empty()) {
        text += "Record " + recordTag;
        if (recordIndex >= 0)
            text += " (n. " + std::to_string(recordIndex) + ")";
        text += ", ";
    }
    if (!subrecordTag.empty())
        text += "sottorecord " + subrecordTag + ", ";
    text += "offset " + std::to_string(offset) + ".";
    return text;
}
// What is wrong with a game file or a table file that cannot be read.
inline constexpr const char* CannotReadFile = "impossibile leggere il file";
inline constexpr const char* CannotSeekFile = "impossibile spostarsi nel file";
inline constexpr const char* ReadFailed = "lettura non riuscita";
inline constexpr const char* TooShortForRecordCount =
    "il file \xE8 troppo corto per contenere il numero dei record";
inline constexpr const char* NegativeRecordCount = "il numero dei record \xE8 negativo";
inline constexpr const char* FewerRecordsThanCounted =
    "il file contiene meno record di quanti ne indica l'intestazione";
inline constexpr const char* TruncatedRecordHeader = "intestazione del record troncata";
inline constexpr const char* NegativeRecordSize = "dimensione del record negativa";
inline constexpr const char* RecordPastFileEnd = "il record supera la fine del file";
inline constexpr const char* NegativeSubrecordSize = "dimensione del sottorecord negativa";
inline constexpr const char* SubrecordPastRecordEnd = "un sottorecord supera la fine del record";
inline constexpr const char* NoTes3Record = "il file non inizia con un record TES3";
inline constexpr const char* NoHedrInHeader = "l'intestazione non contiene HEDR";
inline constexpr const char* ShortHedr = "HEDR \xE8 pi\xF9 corto di 300 byte";
inline constexpr const char* BytesAfterLastRecord = "dopo l'ultimo record restano byte in pi\xF9";

// A table file that cannot be used: the file, its line (0 for none) and what is wrong with it.
inline std::string invalidTable(const std::string& fileName, std::size_t line, const std::string& problem) {
    return "Tabella \"" + fileName + "\" non valida, riga " + std::to_string(line) + ": " + problem + ".";
}
inline std::string tableHeaderExpected(std::string_view header) {
    return "la prima riga deve essere \"" + std::string(header) + "\"";
}
inline std::string tableColumnsExpected(std::size_t count) {
    return "servono " + std::to_string(count) + " colonne separate da tabulazioni";
}
inline constexpr const char* EmptyTable = "il file \xE8 vuoto";
inline constexpr const char* TableBytesInvalid = "il testo contiene byte non validi in Windows-1252";
inline constexpr const char* EmptyTopicName = "un nome di topic \xE8 vuoto";
inline constexpr const char* TextRepeatedInColumn = "il testo \xE8 gi\xE0 presente in questa colonna";
inline constexpr const char* RowsNotLongestFirst =
    "le righe devono seguire la lunghezza del testo inglese, dal pi\xF9 lungo";
inline constexpr const char* RowsNotAlphabetical =
    "le righe devono seguire l'ordine alfabetico del testo inglese";
inline constexpr const char* FixTextsApart = "il testo inglese e quello italiano vanno dati insieme";
inline constexpr const char* TopicInBaseTable = "il topic \xE8 gi\xE0 nella tabella del gioco base";

// Why the console's export of the topic tables leaves a derived pair out.
inline constexpr const char* ExportNameUnfit =
    "a name is empty or holds a byte that a table file cannot hold";
inline constexpr const char* ExportEnglishTaken =
    "the English name stands in the table already, or differs from one only in case";
inline constexpr const char* ExportItalianTaken = "the Italian name stands in the table already";
inline constexpr const char* ExportNameInBaseTable = "a name stands in the base game's table";

} // namespace orvella::texts
