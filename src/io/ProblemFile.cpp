#include "io/ProblemFile.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>

#include "io/FileText.h"

namespace qor {

namespace {

constexpr std::string_view kProblemHeader = "QOR3DProblem";

UserMessage ProblemMessage(const std::string& text) { return {text, "Zadanie", MessageStyle::Stop}; }

IoResult LineFault(int line, const std::string& text) {
  return IoResult::Failure(ProblemMessage("wiersz " + std::to_string(line) + ": " + text));
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// The first line without a UTF-8 byte order mark, a comment and blanks.
std::string_view FirstLine(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  std::string_view line = text.substr(0, text.find('\n'));
  return Trimmed(line.substr(0, line.find('#')));
}

// One key=value of a statement; the value without its quotes.
struct KeyValue {
  std::string key, value;
};

// Splits a statement's words after the verb into key=value pairs. A value may
// be written in double quotes and then hold blanks.
std::optional<std::string> SplitPairs(std::string_view rest, std::vector<KeyValue>& pairs) {
  std::size_t i = 0;
  while (true) {
    while (i < rest.size() && IsBlank(rest[i])) ++i;
    if (i >= rest.size()) return std::nullopt;
    std::size_t end = i;
    while (end < rest.size() && !IsBlank(rest[end]) && rest[end] != '=') ++end;
    const std::string key(rest.substr(i, end - i));
    if (end >= rest.size() || rest[end] != '=' || key.empty()) {
      std::size_t word = i;
      while (word < rest.size() && !IsBlank(rest[word])) ++word;
      return "oczekiwano KLUCZ=WARTOŚĆ, jest \"" + std::string(rest.substr(i, word - i)) + "\"";
    }
    i = end + 1;
    std::string value;
    if (i < rest.size() && rest[i] == '"') {
      const std::size_t close = rest.find('"', i + 1);
      if (close == std::string_view::npos) return "brak cudzysłowu zamykającego wartość klucza " + key;
      value = rest.substr(i + 1, close - i - 1);
      i = close + 1;
      if (i < rest.size() && !IsBlank(rest[i]))
        return "po cudzysłowie zamykającym wartość klucza " + key + " brak odstępu";
    } else {
      std::size_t stop = i;
      while (stop < rest.size() && !IsBlank(rest[stop])) ++stop;
      value = rest.substr(i, stop - i);
      i = stop;
    }
    for (const KeyValue& pair : pairs)
      if (pair.key == key) return "klucz " + key + " podany dwa razy";
    pairs.push_back({key, value});
  }
}

// A real number in C notation that a 32-bit float of the model can hold.
std::optional<double> ParseReal(const std::string& text) {
  double value = 0;
  const char* first = text.data();
  const char* last = first + text.size();
  if (first != last && *first == '+') ++first;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end != last || first == last) return std::nullopt;
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
  return value;
}

// The pairs of one statement, checked against the keys it knows.
class StatementPairs {
 public:
  StatementPairs(std::string verb, std::vector<KeyValue> pairs) : verb_(std::move(verb)), pairs_(std::move(pairs)) {}

  std::optional<std::string> UnknownKey(std::initializer_list<std::string_view> known) const {
    for (const KeyValue& pair : pairs_) {
      bool found = false;
      for (const std::string_view key : known) found = found || pair.key == key;
      if (!found) return "nieznany klucz \"" + pair.key + "\" polecenia " + verb_;
    }
    return std::nullopt;
  }
  const std::string* Find(std::string_view key) const {
    for (const KeyValue& pair : pairs_)
      if (pair.key == key) return &pair.value;
    return nullptr;
  }
  std::string Missing(std::string_view key) const {
    return "brak klucza " + std::string(key) + "= w poleceniu " + verb_;
  }
  static std::string NotANumber(const std::string& text, std::string_view key) {
    return "\"" + text + "\" nie jest liczbą (klucz " + std::string(key) + ")";
  }
  // The number of a required key, or the message why there is none.
  std::optional<std::string> Real(std::string_view key, double& value) const {
    const std::string* text = Find(key);
    if (!text) return Missing(key);
    const std::optional<double> number = ParseReal(*text);
    if (!number) return NotANumber(*text, key);
    value = *number;
    return std::nullopt;
  }

 private:
  std::string verb_;
  std::vector<KeyValue> pairs_;
};

// group=NAME or plane=x:X0, exactly one of them.
std::optional<std::string> ParseSelection(const StatementPairs& pairs, ProblemSelection& where) {
  const std::string* group = pairs.Find("group");
  const std::string* plane = pairs.Find("plane");
  if ((group != nullptr) == (plane != nullptr)) return std::string("podaj group=NAZWA albo plane=x:X0 (jedno z nich)");
  if (group) {
    if (group->empty()) return std::string("pusta nazwa grupy");
    where.group = *group;
    return std::nullopt;
  }
  const std::string& text = *plane;
  const std::string axes = "xyz";
  if (text.size() < 3 || text[1] != ':' || axes.find(text[0]) == std::string::npos)
    return "płaszczyzna \"" + text + "\" nie ma postaci x:X0, y:Y0 ani z:Z0";
  const std::optional<double> coordinate = ParseReal(text.substr(2));
  if (!coordinate) return StatementPairs::NotANumber(text.substr(2), "plane");
  where.axis = static_cast<int>(axes.find(text[0])) + 1;
  where.coordinate = *coordinate;
  return std::nullopt;
}

std::optional<std::string> ParseMaterial(const StatementPairs& pairs, ProblemStatement& statement) {
  if (auto fault = pairs.UnknownKey({"E", "nu", "group"})) return fault;
  if (auto fault = pairs.Real("E", statement.E)) return fault;
  if (auto fault = pairs.Real("nu", statement.nu)) return fault;
  if (!MaterialConstantsValid(static_cast<float>(statement.E), static_cast<float>(statement.nu)))
    return std::string("złe stałe materiału: E musi być większe od 0, a nu leżeć między -1 a 0.5");
  if (const std::string* group = pairs.Find("group")) {
    if (group->empty()) return std::string("pusta nazwa grupy");
    statement.where.group = *group;
  }
  return std::nullopt;
}

std::optional<std::string> ParseSupport(const StatementPairs& pairs, ProblemStatement& statement) {
  if (auto fault = pairs.UnknownKey({"group", "plane", "dirs", "value"})) return fault;
  if (auto fault = ParseSelection(pairs, statement.where)) return fault;
  const std::string* dirs = pairs.Find("dirs");
  if (!dirs) return pairs.Missing("dirs");
  if (dirs->empty()) return std::string("pusta lista kierunków dirs=");
  for (const char c : *dirs) {
    if (c != 'x' && c != 'y' && c != 'z')
      return "kierunek \"" + std::string(1, c) + "\" w dirs=" + *dirs + " nie jest x, y ani z";
    statement.directions[static_cast<std::size_t>(c - 'x')] = true;
  }
  if (const std::string* value = pairs.Find("value")) {
    const std::optional<double> number = ParseReal(*value);
    if (!number) return StatementPairs::NotANumber(*value, "value");
    // The store and the model file keep a prescribed displacement as a whole
    // number; rounding 0.5 to 0 or 1 would hold the solid somewhere else than
    // the user asked, so such a value is refused.
    if (std::floor(*number) != *number || std::fabs(*number) > 2147483647.0)
      return "wartość podpory " + *value +
             " nie jest liczbą całkowitą: model przechowuje przemieszczenia podpór jako liczby całkowite";
    statement.value = *number;
  }
  return std::nullopt;
}

std::optional<std::string> ParseForce(const StatementPairs& pairs, ProblemStatement& statement) {
  if (auto fault = pairs.UnknownKey({"group", "plane", "total"})) return fault;
  if (auto fault = ParseSelection(pairs, statement.where)) return fault;
  const std::string* total = pairs.Find("total");
  if (!total) return pairs.Missing("total");
  std::vector<std::string> parts(1);
  for (const char c : *total) {
    if (c == ',')
      parts.emplace_back();
    else
      parts.back() += c;
  }
  if (parts.size() != 3) return "total=" + *total + " nie jest trójką liczb FX,FY,FZ";
  for (std::size_t c = 0; c < 3; ++c) {
    const std::optional<double> number = ParseReal(parts[c]);
    if (!number) return StatementPairs::NotANumber(parts[c], "total");
    statement.total[c] = *number;
  }
  return std::nullopt;
}

std::optional<std::string> ParsePressure(const StatementPairs& pairs, ProblemStatement& statement) {
  if (auto fault = pairs.UnknownKey({"group", "plane", "p"})) return fault;
  if (auto fault = ParseSelection(pairs, statement.where)) return fault;
  return pairs.Real("p", statement.pressure);
}

struct VerbParser {
  std::string_view name;
  ProblemVerb verb;
  std::optional<std::string> (*parse)(const StatementPairs&, ProblemStatement&);
};
constexpr VerbParser kVerbs[] = {
    {"material", ProblemVerb::Material, ParseMaterial},
    {"support", ProblemVerb::Support, ParseSupport},
    {"force", ProblemVerb::Force, ParseForce},
    {"pressure", ProblemVerb::Pressure, ParsePressure},
};

// The mesh file's name: the rest of the line, in double quotes when it has blanks.
std::optional<std::string> ParseMeshName(std::string_view rest, std::string& name) {
  rest = Trimmed(rest);
  if (rest.size() >= 2 && rest.front() == '"' && rest.back() == '"') rest = rest.substr(1, rest.size() - 2);
  if (rest.empty()) return std::string("brak nazwy pliku siatki po mesh");
  name = rest;
  return std::nullopt;
}

}  // namespace

bool IsProblemText(std::string_view text) { return FirstLine(text) == kProblemHeader; }

bool IsProblemFile(const std::string& path) {
  // Only a regular file is looked into: opening a named pipe would wait for a writer.
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return false;
  std::ifstream in(path, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line)) return false;
  return IsProblemText(line);
}

IoResult ParseProblem(std::string_view text, Problem& problem) {
  if (!IsProblemText(text)) return LineFault(1, "plik zadania musi zaczynać się wierszem QOR3DProblem");
  Problem parsed;
  std::size_t start = 0;
  for (int line = 1; start <= text.size(); ++line) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    std::string_view content = text.substr(start, end - start);
    start = end + 1;
    if (line == 1) continue;
    content = Trimmed(content.substr(0, content.find('#')));
    if (content.empty()) continue;
    std::size_t verbEnd = 0;
    while (verbEnd < content.size() && !IsBlank(content[verbEnd])) ++verbEnd;
    const std::string_view verb = content.substr(0, verbEnd);
    const std::string_view rest = content.substr(verbEnd);
    if (verb == "mesh") {
      if (parsed.meshLine != 0)
        return LineFault(line, "drugie polecenie mesh (pierwsze w wierszu " + std::to_string(parsed.meshLine) + ")");
      if (auto fault = ParseMeshName(rest, parsed.meshFile)) return LineFault(line, *fault);
      parsed.meshLine = line;
      continue;
    }
    const VerbParser* parser = nullptr;
    for (const VerbParser& candidate : kVerbs)
      if (candidate.name == verb) parser = &candidate;
    if (!parser)
      return LineFault(
          line, "nieznane polecenie \"" + std::string(verb) + "\" (znane: mesh, material, support, force, pressure)");
    std::vector<KeyValue> pairs;
    if (auto fault = SplitPairs(rest, pairs)) return LineFault(line, *fault);
    ProblemStatement statement;
    statement.verb = parser->verb;
    statement.line = line;
    if (auto fault = parser->parse(StatementPairs(std::string(verb), std::move(pairs)), statement))
      return LineFault(line, *fault);
    parsed.statements.push_back(statement);
  }
  if (parsed.meshLine == 0) return IoResult::Failure(ProblemMessage("plik zadania nie zawiera polecenia mesh"));
  problem = std::move(parsed);
  return IoResult::Success();
}

}  // namespace qor
