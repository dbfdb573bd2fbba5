// What the register keeps: its own identity, its registration, the fiscal
// storage's state, the shift, the document counters, the backlog towards the
// fiscal data operator, and the printed tape. Also its clock and the fiscal
// documents it issues.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tools/emulator/text.h"

namespace kelvo_emulator {

struct DeviceInfo {
  std::string Number;               // "num" of getallinfo
  std::string SerialNumber;         // T1013
  std::string FiscalStorageSerial;  // T1041
  int FfdKkt = 3;                   // T1189: 2 is FFD 1.0.5, 3 is FFD 1.1
  int FfdFn = 2;                    // T1190
};

// Receipts and correction receipts of one kind (T1054) in a shift.
struct KindTotal {
  int Count = 0;
  long long Kopecks = 0;  // the sum of their totals (T1020)
};

struct ShiftState {
  bool Open = false;
  int Number = 0;        // the current shift, or the last one when closed
  std::string OpenedAt;  // date and time of the opening report
  int Receipts = 0;      // receipts and correction receipts of the shift
  int Documents = 0;     // fiscal documents of the shift, both reports included
  // By kind: 1 ПРИХОД, 2 ВОЗВРАТ ПРИХОДА, 3 РАСХОД, 4 ВОЗВРАТ РАСХОДА (index kind - 1).
  std::array<KindTotal, 4> Totals{};
};

// Fiscal documents not yet delivered to the fiscal data operator.
struct Backlog {
  int Count = 0;
  int FirstNumber = 0;
  std::string FirstDateTime;
};

// The four warnings of the fiscal storage sent with the shift reports.
struct StorageWarnings {
  bool ResourceExhausted = false;  // T1050
  bool UrgentReplacement = false;  // T1051
  bool MemoryOverflow = false;     // T1052
  bool OfdTimeout = false;         // T1053
};

struct RegisterState {
  DeviceInfo Device;
  bool Registered = false;           // the fiscal storage holds a registration
  bool FiscalStorageClosed = false;  // its archive is closed: no more fiscal documents
  // Registration tags as the register answers them on register/info
  // ("T1037", "T1048", ..., with "T1040" and "T1012" of the registration report).
  Json Registration = Json::object();
  ShiftState Shift;
  int DocumentNumber = 0;  // the last fiscal document's number
  Backlog Unsent;
  bool OfdOnline = false;  // documents reach the operator at once: no backlog
  StorageWarnings Warnings;
  std::optional<std::string> Clock;  // a fixed time; none: the machine's local time
  std::vector<std::string> Tape;
};

// A registered register with a closed shift; the tape is empty.
RegisterState StartState();

// Opens the next shift at the register's clock: number + 1, counters 0.
void OpenNextShift(RegisterState& State);

// The tax authority's site (T1060) of the registration, kDefaultTaxSite when
// the registration has none.
inline constexpr char kDefaultTaxSite[] = "www.nalog.gov.ru";
std::string TaxSite(const RegisterState& State);

// The state as JSON: the form of GET /emulator/state (with "now" and
// "tapeLines") or of the state file (with "tape").
enum class StateView { Control, File };
Json StateToJson(const RegisterState& State, StateView View);
// Reads the state file's form; throws std::runtime_error when it does not fit.
RegisterState StateFromJson(const Json& Value);

// Changes the parts of the state that the patch names (POST /emulator/state).
// Either the whole patch applies or, with an error text returned, nothing.
std::string ApplyPatch(RegisterState& State, const Json& Patch);

// Date and time as the register writes them: "2024-05-17T09:30:00".
std::string Now(const RegisterState& State);
bool ParseDateTime(const std::string& Text, std::int64_t& Seconds);

// 0: the shift is closed; 1: open; 2: open for 24 hours or more (expired:
// it must be closed before the next receipt).
int ShiftStatus(const RegisterState& State);

struct IssuedDocument {
  int Number = 0;
  std::string DateTime;
  std::uint32_t FiscalSign = 0;
};
// Issues the next fiscal document: numbers it, counts it in the open shift
// and in the backlog, and derives its fiscal sign from its number, time and
// Content.
IssuedDocument IssueDocument(RegisterState& State, const Json& Content);
// A deterministic fiscal sign: the 64-bit FNV-1a hash of "number|date-time|"
// followed by the content's JSON text, folded to 32 bits (never 0).
std::uint32_t FiscalSign(int Number, const std::string& DateTime, const Json& Content);

}  // namespace kelvo_emulator
