#pragma once

#include "game/SaveInfo.h"
#include "platform/PathLimit.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Every text the program shows or writes for its user, in Windows-1252 and byte for byte as it has always
// shown it; the dialogs' own texts stay in resources/Orvella.rc.
namespace orvella::texts {

// Message box captions and the report dialog's error title.
inline constexpr const char* ErrorCaption = "Errore";
inline constexpr const char* WarningCaption = "ATTENZIONE!";
inline constexpr const char* PluginCheckCaption = "Controllo Plugin";
inline constexpr const char* ReportErrorTitle = "Errore!";

// Start-up.
inline constexpr const char* FolderPickerPrompt = "Selezionare manualmente la directory di Morrowind.";
inline constexpr const char* NoFolderPicked = "Impossibile proseguire senza la selezione della directory.";
inline constexpr const char* NoGameInFolder =
    "Impossibile trovare i files di Morrowind nella directory specificata.";
inline constexpr const char* GameTooOld = "Aggiornare Morrowind almeno alla versione 1.2.";
inline constexpr const char* NoDataFolder = "Directory dei Dati di Morrowind non trovata.";
inline constexpr const char* NoSavesFolder = "Directory dei Salvataggi di Morrowind non trovata.";
// "direcory" is kept as the program has always written it.
inline constexpr const char* NoBackupFolder = "Impossibile creare la direcory di Backup.";
inline constexpr const char* NoMorrowindMasterFile = "Impossibile trovare il file \"Morrowind.esm\".";
inline constexpr const char* NoMorrowindTranslation =
    "Impossibile proseguire senza il plugin di traduzione di Morrowind base.";

// A path that the platform refuses for its length.
inline std::string tooLongPath(const std::string& path) {
    return "Il percorso \"" + path + "\" \xE8 troppo lungo (al massimo " + std::to_string(PathLimit - 1) +
           " caratteri).";
}

// The main dialog: the file boxes, the save list, the "PATCH" button and the summary.
inline constexpr const char* MissingMasterText = "<Master File non trovato>";
inline constexpr const char* MissingPluginText = "<Plugin non trovato>";
inline constexpr const char* SaveFolderReadFailed = "Impossibile caricare dalla directory dei salvataggi";
inline constexpr const char* TribunalMark = "T";
inline constexpr const char* BloodmoonMark = "B";
inline constexpr const char* PatchButtonIdleText = "PATCH";
// The text of the "PATCH" button once a save of this direction is selected.
inline const char* patchButtonText(ConversionDirection direction) {
    switch (direction) {
    case EnglishToItalian:
        return "Inglese -> Italiano";
    case ItalianToEnglish:
        return "Italiano -> Inglese";
    case BetaUnsupported:
        break;
    }
    return "Versione BETA non supportata";
}
// The player's name, the save's name, the cell, the day, the health and the maximum health.
inline constexpr const char* SummaryFormat =
    "NomePG: %s\r\nNome Salvataggio: %s\r\n\r\nSalvato a: %s\r\nGiorno: %.0f\r\nPunti Ferita: %.0f\\%0.f";
// Put before the name of a master that the Data Files folder lacks.
inline constexpr const char* MissingMasterMark = "**";
// The console's heading of those masters: the main dialog's label, with a colon.
inline constexpr const char* UsedPluginsHeading = "Plugin utilizzati:";

// The checks before a conversion.
inline constexpr const char* ConversionNeedsMorrowindMaster =
    "Impossibile effettuare una conversione senza il Master File di Morrowind.";
inline constexpr const char* ConversionNeedsMorrowindPlugin =
    "Impossibile effettuare una conversione senza il plugin LRK versione finale di Morrowind.";
// The doubled "di di" of the next two is kept as the program has always written it.
inline constexpr const char* ConversionNeedsTribunalMaster =
    "Per questa conversione \xE8 necessario avere il Master File di di Tribunal.";
inline constexpr const char* ConversionNeedsBloodmoonMaster =
    "Per questa conversione \xE8 necessario avere il Master File di di Bloodmoon.";
inline constexpr const char* ConversionNeedsTribunalPlugin =
    "Per questa conversione \xE8 necessario avere il plugin LRK di Tribunal.";
inline constexpr const char* ConversionNeedsBloodmoonPlugin =
    "Per questa conversione \xE8 necessario avere il plugin LRK di Bloodmoon.";
inline constexpr const char* TribunalLeftOut =
    "Per questa conversione sarebbe necessario il plugin di Traduzione di Tribunal.\n"
    "Il salvataggio sar\xE0 convertito come se Tribunal non fosse installato.";
inline constexpr const char* BloodmoonLeftOut =
    "Per questa conversione sarebbe necessario il plugin di Traduzione di Bloodmoon.\n"
    "Il salvataggio sar\xE0 convertito come se Bloodmoon non fosse installato.";

// The conversion's messages and the progress dialog's outcomes.
inline constexpr const char* CannotOpenSave = "Impossibile aprire il salvataggio";
inline constexpr const char* CannotOpenLog = "Impossibile aprire il file di log";
inline constexpr const char* CannotWriteTemp = "Impossibile scrivere i files temporanei";
inline constexpr const char* CannotBackUp =
    "Impossibile creare il file di backup. Cambiamenti non apportati.";
inline constexpr const char* CannotOverwriteSave =
    "Impossibile sovrascrivere il file del salvataggio. Cambiamenti non apportati.";
inline constexpr const char* SaveInUse =
    "Il salvataggio \xE8 gi\xE0 in uso da un'altra conversione. Cambiamenti non apportati.";
inline constexpr const char* PatchSucceeded = "Patch effettuata con successo";
inline constexpr const char* PatchSucceededUntranslated =
    "Patch effettuata con successo, ma con delle frasi non tradotte";
inline constexpr const char* PatchFailed = "Patch non effettuata con successo";

// The progress dialog's stage labels, as the console shows them too.
inline constexpr const char* MastersStageLabel = "Analisi dei Master File............";
inline constexpr const char* PluginsStageLabel = "Analisi dei Plugin Tradotti........";
inline constexpr const char* ReadingStageLabel = "Lettura del Salvataggio..........";
inline constexpr const char* ConvertingStageLabel = "Elaborazione del Salvataggio...";
inline constexpr const char* JournalStageLabel = "-- Elaborazione del Journal.....";
inline constexpr const char* FinalisingStageLabel = "Finalizzazione.....................";

// The restore from the backup.
inline constexpr const char* RestoreQuestion =
    "Sei sicuro? Il salvataggio attuale sar\xE0 sovrascritto\r\ndal file di backup generato durante la patch";
inline constexpr const char* CannotRestore = "Impossibile sostituire il salvataggio con quello di backup.";
inline constexpr const char* CannotDeleteBackup = "Impossibile cancellare il salvataggio di backup.";
inline std::string damagedBackup(const std::string& backupPath) {
    return "Il file di backup \"" + backupPath + "\" \xE8 danneggiato. Salvataggio non ripristinato.";
}

// The report dialog's texts for a log it cannot show, formatted with the log's path; "fle" is kept as the
// program has always written it.
inline constexpr const char* UnreadableLogFormat = "Impossibile caricare il fle di log:\n%s";
inline constexpr const char* InvalidLogFormat = "Il File di LOG %s non \xE8 valido";

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
inline constexpr const char* NoFormInHeader =
    "l'intestazione non inizia con la versione del formato dei salvataggi di OpenMW (FORM)";
inline std::string openMwFormatTooNew(std::uint32_t version) {
    return "il salvataggio \xE8 del formato " + std::to_string(version) +
           " di OpenMW, pi\xF9 recente del 39, l'ultimo che il programma conosce";
}
inline constexpr const char* NoSaveRecord = "il secondo record non \xE8 SAVE";
inline constexpr const char* UnknownIdKind = "un id \xE8 di un tipo sconosciuto";

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
