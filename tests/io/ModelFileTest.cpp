#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

#include "io/FileText.h"
#include "io/GidMesh.h"
#include "io/ModelFile.h"
#include "io/ModelSamples.h"
#include "io/StoreCompare.h"

namespace fs = std::filesystem;
using qor::DensityTable;
using qor::ModelStore;
using qor::testing::SameStore;
using qor::testing::SpoiltStore;

namespace {

// Equal up to the 6 significant digits the file keeps.
::testing::AssertionResult SixDigits(float expected, float actual) {
  const float tolerance = 6e-6f * std::fabs(expected);
  if (std::fabs(expected - actual) <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << expected << " read back as " << actual;
}

void ExpectSameModelUpToSixDigits(const ModelStore& written, const ModelStore& read, const DensityTable& densities) {
  ASSERT_EQ(read.NodeCount, written.NodeCount);
  ASSERT_EQ(read.ElementCount, written.ElementCount);
  ASSERT_EQ(read.MaterialCount, written.MaterialCount);
  ASSERT_EQ(read.SupportCount, written.SupportCount);
  for (int n = 1; n <= written.NodeCount; ++n) {
    EXPECT_TRUE(SixDigits(written.Nodes[n].x, read.Nodes[n].x));
    EXPECT_TRUE(SixDigits(written.Nodes[n].y, read.Nodes[n].y));
    EXPECT_TRUE(SixDigits(written.Nodes[n].z, read.Nodes[n].z));
  }
  for (int e = 1; e <= written.ElementCount; ++e) {
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(read.Elements[e].node[k], written.Elements[e].node[k]);
    EXPECT_EQ(read.Elements[e].material, written.Elements[e].material);
    EXPECT_TRUE(SixDigits(written.Stresses[e][qor::Reduced], densities[e])) << "tail of element " << e;
  }
  for (int m = 1; m <= written.MaterialCount; ++m) {
    EXPECT_TRUE(SixDigits(written.Materials[m].E, read.Materials[m].E));
    EXPECT_TRUE(SixDigits(written.Materials[m].nu, read.Materials[m].nu));
  }
  for (int j = 1; j <= written.SupportCount; ++j) {
    EXPECT_EQ(read.Supports[j].dof, written.Supports[j].dof);
    EXPECT_EQ(read.Supports[j].value, written.Supports[j].value);
  }
  for (int d = 1; d <= 3 * written.NodeCount; ++d) EXPECT_TRUE(SixDigits(written.Forces[d], read.Forces[d]));
}

// A small model a person can check by hand: one tetrahedron on four nodes.
std::unique_ptr<ModelStore> OneTetrahedron() {
  auto store = std::make_unique<ModelStore>();
  store->NodeCount = 4;
  store->ElementCount = 1;
  store->MaterialCount = 1;
  store->SupportCount = 3;
  store->Nodes[1] = {0, 0, 0};
  store->Nodes[2] = {1.5f, 0, 0};
  store->Nodes[3] = {0, 2, 0};
  store->Nodes[4] = {0, 0, 1234567.0f};
  store->Elements[1] = {{0, 1, 2, 3, 4}, 1};
  store->Materials[1] = {200000.0f, 0.3f};
  store->Supports[1] = {1, 0};
  store->Supports[2] = {2, 0};
  store->Supports[3] = {3, -2};
  store->Forces[12] = -1000.0f;
  store->Stresses[1][qor::Reduced] = 0.000125f;
  return store;
}

const char* const OneTetrahedronText =
    "QOR3DAscii 4 1 1 3 0\n"
    "0 0 0\n"
    "1.5 0 0\n"
    "0 2 0\n"
    "0 0 1.23457e+06\n"
    "1 2 3 4 1\n"
    "200000 0.3\n"
    "1 0\n"
    "2 0\n"
    "3 -2\n"
    "0 0 0\n"
    "0 0 0\n"
    "0 0 0\n"
    "0 0 -1000\n"
    "0.000125\n";

TEST(ModelFileTest, WritesTheLayoutLineByLine) {
  EXPECT_EQ(qor::WriteModelText(*OneTetrahedron()), OneTetrahedronText);
  ModelStore empty;
  EXPECT_EQ(qor::WriteModelText(empty), "QOR3DAscii 0 0 0 0 0\n");
}

TEST(ModelFileTest, ReadsTheHandWrittenFileIntoTablesAndDensities) {
  auto store = SpoiltStore();
  const auto before = std::make_unique<ModelStore>(*store);
  DensityTable densities{};
  densities[2] = 9.0f;
  // Any first word is accepted, and line ends do not matter.
  std::string text = OneTetrahedronText;
  text.replace(0, 10, "AnythingElse");
  for (char& c : text)
    if (c == '\n') c = ' ';
  ASSERT_TRUE(qor::ReadModelText(text, *store, densities).ok);
  EXPECT_EQ(store->NodeCount, 4);
  EXPECT_EQ(store->Nodes[4].z, 1234570.0f);
  EXPECT_EQ(store->Nodes[2].x, 1.5f);
  EXPECT_EQ(store->Materials[1].E, 200000.0f);
  EXPECT_EQ(store->Materials[1].nu, 0.3f);
  EXPECT_EQ(store->Supports[3].dof, 3);
  EXPECT_EQ(store->Supports[3].value, -2);
  EXPECT_EQ(store->Forces[12], -1000.0f);
  EXPECT_EQ(densities[1], 0.000125f);
  EXPECT_EQ(densities[2], 9.0f) << "entries beyond the element count stay";
  // The file carries no results; what the store held stays but is out of date.
  EXPECT_EQ(store->ResultsValid, 0);
  EXPECT_EQ(store->DofCount, before->DofCount);
  EXPECT_EQ(store->Displacements, before->Displacements);
  EXPECT_EQ(store->Stresses, before->Stresses);
  EXPECT_EQ(store->Nodes[5].x, before->Nodes[5].x) << "rows beyond the counters stay";
}

TEST(ModelFileTest, RandomModelsSurviveSaveAndOpen) {
  std::mt19937 random(20240607);
  const std::int32_t shapes[][4] = {{0, 0, 0, 0},        {1, 0, 0, 0},   {4, 1, 0, 2},     {10, 30, 7, 20},
                                    {997, 1997, 7, 497}, {200, 5, 3, 1}, {50, 400, 2, 100}};
  for (const auto& shape : shapes) {
    SCOPED_TRACE(::testing::Message() << shape[0] << " nodes, " << shape[1] << " elements");
    auto written = std::make_unique<ModelStore>();
    qor::testing::FillRandomModel(*written, random, shape[0], shape[1], shape[2], shape[3]);
    const std::string text = qor::WriteModelText(*written);
    auto read = std::make_unique<ModelStore>();
    DensityTable densities{};
    ASSERT_TRUE(qor::ReadModelText(text, *read, densities).ok);
    ExpectSameModelUpToSixDigits(*written, *read, densities);
    // A model that was read once writes the same text again: nothing drifts.
    read->ResultsValid = written->ResultsValid;
    for (int e = 1; e <= read->ElementCount; ++e) read->Stresses[e][qor::Reduced] = densities[e];
    EXPECT_EQ(qor::WriteModelText(*read), text);
    // The reader of any size takes the same rows, and its writer gives the same text.
    qor::SolidModel model;
    ASSERT_TRUE(qor::ReadSolidModelText(text, model).ok);
    const qor::SolidModel fromStore = qor::SolidModelFromStore(*read, densities);
    ASSERT_EQ(model.NodeCount(), fromStore.NodeCount());
    EXPECT_EQ(0, std::memcmp(model.Nodes.data(), fromStore.Nodes.data(), model.Nodes.size() * sizeof(qor::NodeRow)));
    EXPECT_EQ(model.Forces, fromStore.Forces);
    EXPECT_EQ(model.Densities, fromStore.Densities);
    const qor::SolidResults results = qor::SolidResultsFromStore(*read);
    if (read->ResultsValid) {
      EXPECT_EQ(qor::WriteSolidModelText(model, &results), text);
    }
  }
}

TEST(ModelFileTest, NonFiniteStressIsWrittenAsZeroSoTheFileStaysReadable) {
  auto store = OneTetrahedron();
  store->Stresses[1][qor::Reduced] = std::nanf("");
  const std::string text = qor::WriteModelText(*store);
  EXPECT_EQ(text.substr(text.rfind(' ') + 1), "-1000\n0\n");
  DensityTable densities{};
  densities[1] = 5.0f;
  ASSERT_TRUE(qor::ReadModelText(text, *store, densities).ok);
  EXPECT_EQ(densities[1], 0.0f);
}

TEST(ModelFileTest, WriterStaysInsideTheTablesWhateverTheCounters) {
  // A full node table carries the loads of all its nodes, and reads back.
  auto store = std::make_unique<ModelStore>();
  store->NodeCount = 997;
  store->Forces.fill(1.0f);
  const std::string text = qor::WriteModelText(*store);
  std::vector<std::string> lines;
  std::istringstream split(text);
  for (std::string line; std::getline(split, line);) lines.push_back(line);
  ASSERT_EQ(lines.size(), 1u + 2 * 997);
  EXPECT_EQ(lines[997 + 667], "1 1 1");
  EXPECT_EQ(lines.back(), "1 1 1");
  auto back = std::make_unique<ModelStore>();
  DensityTable densities{};
  ASSERT_TRUE(qor::ReadModelText(text, *back, densities).ok);
  EXPECT_EQ(back->Forces[qor::DofOf(997, 3)], 1.0f);
  // Damaged counters cannot make the writer read past a table.
  store->NodeCount = -5;
  store->ElementCount = 1 << 30;
  EXPECT_EQ(qor::WriteModelText(*store).substr(0, 23), "QOR3DAscii 0 1999 0 0 0");
}

// Every refusal leaves the store and the densities exactly as they were.
// Refused by the window's reader and, unless only the store's limits refuse
// it, by the reader of any size, both leaving their model as it was.
void ExpectRefused(const std::string& text, bool byEveryReader = true) {
  if (byEveryReader) {
    qor::SolidModel model;
    model.Resize(2, 1, 1, 0);
    model.Nodes[2].x = 4.5f;
    EXPECT_FALSE(qor::ReadSolidModelText(text, model).ok) << text.substr(0, 200);
    EXPECT_EQ(model.NodeCount(), 2);
    EXPECT_EQ(model.Nodes[2].x, 4.5f);
  }
  auto store = SpoiltStore();
  const auto before = std::make_unique<ModelStore>(*store);
  DensityTable densities;
  densities.fill(3.5f);
  const qor::IoResult result = qor::ReadModelText(text, *store, densities);
  EXPECT_FALSE(result.ok) << text.substr(0, 200);
  EXPECT_EQ(result.message, (qor::UserMessage{"Błąd przy odczycie...", "Odczyt", qor::MessageStyle::Exclamation}));
  EXPECT_TRUE(SameStore(*store, *before)) << text.substr(0, 200);
  for (float d : densities) ASSERT_EQ(d, 3.5f);
}

std::string WithToken(std::string text, const std::string& old, const std::string& replacement) {
  const std::size_t at = text.find(old);
  EXPECT_NE(at, std::string::npos) << old;
  return text.replace(at, old.size(), replacement);
}

TEST(ModelFileTest, RefusesCountsOutsideTheStore) {
  ExpectRefused("");
  ExpectRefused("QOR3DAscii");
  ExpectRefused("QOR3DAscii -1 0 0 0 0\n");
  ExpectRefused("QOR3DAscii 666 0 0 0 0\n");  // 1998 degrees of freedom: Forces cannot hold them
  ExpectRefused("QOR3DAscii 0 1998 0 0 0\n");
  ExpectRefused("QOR3DAscii 0 0 8 0 0\n");
  ExpectRefused("QOR3DAscii 0 0 0 498 0\n");
  ExpectRefused("QOR3DAscii 99999999999 0 0 0 0\n");
  ExpectRefused("QOR3DAscii 1 0 0 0\n");
  // Counts the rest of the file cannot hold, before anything is allocated for them.
  const std::string hundredBytes(100, '0');
  ExpectRefused("QOR3DAscii 1000000000000 0 0 0 0\n" + hundredBytes);
  ExpectRefused("QOR3DAscii 700000000 0 0 0 0\n" + hundredBytes);
  ExpectRefused("QOR3DAscii 0 2000000000 0 0 0\n" + hundredBytes);
  ExpectRefused("QOR3DAscii 8 0 0 0 0\n" + std::string(95, '0'));
  ExpectRefused(std::string("QOR3DAscii 715827883 0 0 0 0\n"));  // three times beyond the integers
}

// A complete model file of the given counts, written here by hand: every row
// is present and valid, so only the counts can make a reader refuse it.
std::string CompleteFile(int nodes, int elements, int materials, int supports) {
  std::ostringstream out;
  out << "QOR3DAscii " << nodes << ' ' << elements << ' ' << materials << ' ' << supports << " 0\n";
  for (int n = 1; n <= nodes; ++n) out << n << " 0 0\n";
  for (int e = 1; e <= elements; ++e) out << "1 2 3 4 1\n";
  for (int m = 1; m <= materials; ++m) out << "200000 0.3\n";
  for (int j = 1; j <= supports; ++j) out << (j - 1) % (3 * nodes) + 1 << " 0\n";
  for (int n = 1; n <= nodes; ++n) out << "0 0 0\n";
  for (int e = 1; e <= elements; ++e) out << "1\n";
  return out.str();
}

TEST(ModelFileTest, CompleteFilesAtTheCountLimits) {
  // One below each limit opens; the limit itself is refused with the store untouched.
  const struct {
    int nodes, elements, materials, supports;
    bool opens;
  } cases[] = {
      {997, 4, 1, 1, true}, {998, 4, 1, 1, false}, {4, 1997, 1, 1, true}, {4, 1998, 1, 1, false},
      {4, 1, 7, 1, true},   {4, 1, 8, 1, false},   {4, 1, 1, 497, true},  {4, 1, 1, 498, false},
  };
  for (const auto& c : cases) {
    const std::string text = CompleteFile(c.nodes, c.elements, c.materials, c.supports);
    qor::SolidModel model;
    ASSERT_TRUE(qor::ReadSolidModelText(text, model).ok);  // no limit but the file's
    EXPECT_EQ(model.NodeCount(), c.nodes);
    EXPECT_EQ(model.Nodes[c.nodes].x, static_cast<float>(c.nodes));
    if (!c.opens) {
      ExpectRefused(text, false);
      continue;
    }
    auto store = std::make_unique<ModelStore>();
    DensityTable densities{};
    ASSERT_TRUE(qor::ReadModelText(text, *store, densities).ok) << text.substr(0, 30);
    EXPECT_EQ(store->NodeCount, c.nodes);
    EXPECT_EQ(store->ElementCount, c.elements);
    EXPECT_EQ(store->MaterialCount, c.materials);
    EXPECT_EQ(store->SupportCount, c.supports);
    EXPECT_EQ(store->Nodes[c.nodes].x, static_cast<float>(c.nodes));
  }
}

TEST(ModelFileTest, RefusesNumbersThatPointOutsideTheModel) {
  const std::string good = OneTetrahedronText;
  ExpectRefused(WithToken(good, "1 2 3 4 1\n", "1 2 3 5 1\n"));
  ExpectRefused(WithToken(good, "1 2 3 4 1\n", "0 2 3 4 1\n"));
  ExpectRefused(WithToken(good, "1 2 3 4 1\n", "1 2 3 4 2\n"));
  ExpectRefused(WithToken(good, "1 2 3 4 1\n", "1 2 3 4 0\n"));
  ExpectRefused(WithToken(good, "3 -2\n", "13 -2\n"));
  ExpectRefused(WithToken(good, "1 0\n2 0", "0 0\n2 0"));
  // Without materials an element may only name material 1.
  const std::string noMaterial =
      "QOR3DAscii 4 1 0 0 0\n0 0 0 1 0 0 0 1 0 0 0 1\n1 2 3 4 1\n" + std::string(12 * 2, ' ');
  ExpectRefused(WithToken(noMaterial, "1 2 3 4 1", "1 2 3 4 2"));
  auto store = std::make_unique<ModelStore>();
  DensityTable densities{};
  EXPECT_TRUE(qor::ReadModelText(noMaterial + "0 0 0 0 0 0 0 0 0 0 0 0 0.5", *store, densities).ok);
}

TEST(ModelFileTest, RefusesTokensThatAreNotWhatTheLayoutNeeds) {
  const std::string good = OneTetrahedronText;
  ExpectRefused(WithToken(good, "1.5 0 0", "1.5 x 0"));
  ExpectRefused(WithToken(good, "1.5 0 0", "1,5 0 0"));
  ExpectRefused(WithToken(good, "1.5 0 0", "nan 0 0"));
  ExpectRefused(WithToken(good, "1.5 0 0", "inf 0 0"));
  ExpectRefused(WithToken(good, "1.5 0 0", "1e39 0 0"));
  ExpectRefused(WithToken(good, "200000 0.3", "200000 -inf"));
  ExpectRefused(WithToken(good, "0 0 -1000", "0 0 -1000x"));
  ExpectRefused(WithToken(good, "0.000125\n", "nan\n"));
  ExpectRefused(WithToken(good, "1 2 3 4 1", "1 2 3 4.0 1"));
  ExpectRefused(WithToken(good, "3 -2", "3 -2.5"));
  ExpectRefused(WithToken(good, "QOR3DAscii 4 1 1 3 0", "QOR3DAscii 4 1 1 3 z"));
}

TEST(ModelFileTest, RefusesAFileCutShortAtAnyToken) {
  const std::string good = OneTetrahedronText;
  for (std::size_t at = 0; at + 1 < good.size(); ++at) {  // the last line end closes a whole file
    if (good[at] != ' ' && good[at] != '\n') continue;
    ExpectRefused(good.substr(0, at));
  }
}

TEST(ModelFileTest, TokensOfAnyLengthAreRead) {
  const std::string good = OneTetrahedronText;
  auto store = std::make_unique<ModelStore>();
  DensityTable densities{};
  std::string longWord = std::string(1 << 20, 'Q') + good.substr(10);
  EXPECT_TRUE(qor::ReadModelText(longWord, *store, densities).ok);
  EXPECT_TRUE(
      qor::ReadModelText(WithToken(good, "1.5 0 0", "1." + std::string(100000, '5') + " 0 0"), *store, densities).ok);
  EXPECT_EQ(store->Nodes[2].x, 1.5555556f);
  ExpectRefused(WithToken(good, "1 2 3 4 1", "1 2 3 " + std::string(5000, '4') + " 1"));
}

TEST(ModelFileTest, SaveReplacesTheFileWholeAndOpenReadsIt) {
  const fs::path folder = fs::temp_directory_path() / ("qor-io-test-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  const std::string path = (folder / "model.q3d").string();
  { std::ofstream(path) << "an older, longer file that must disappear completely ............................\n"; }
  ASSERT_TRUE(qor::SaveModelFile(*OneTetrahedron(), path).ok);
  EXPECT_EQ(qor::ReadWholeFile(path), std::optional<std::string>(OneTetrahedronText));

  auto store = std::make_unique<ModelStore>();
  DensityTable densities{};
  ASSERT_TRUE(qor::OpenModelFile(path, *store, densities).ok);
  EXPECT_EQ(store->ElementCount, 1);

  // A target that cannot be replaced (a folder) and a folder that does not
  // exist both fail, and no temporary file is left behind.
  const fs::path blocked = folder / "blocked.q3d";
  fs::create_directories(blocked / "inside");
  const qor::IoResult failed = qor::SaveModelFile(*OneTetrahedron(), blocked.string());
  EXPECT_FALSE(failed.ok);
  EXPECT_EQ(failed.message, (qor::UserMessage{"Błąd przy zapisie...", "Zapis", qor::MessageStyle::Exclamation}));
  EXPECT_TRUE(fs::is_directory(blocked / "inside"));
  EXPECT_FALSE(qor::SaveModelFile(*OneTetrahedron(), (folder / "no" / "such.q3d").string()).ok);
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"blocked.q3d", "model.q3d"}));

  EXPECT_FALSE(qor::OpenModelFile((folder / "missing.q3d").string(), *store, densities).ok);
  fs::remove_all(folder);
}

// A folder of its own for one test, removed at the end.
struct TestFolder {
  fs::path path = fs::temp_directory_path() / ("qor-io-save-" + std::to_string(::getpid()));
  TestFolder() { fs::create_directories(path); }
  ~TestFolder() {
    std::error_code ignored;
    fs::permissions(path, fs::perms::owner_all, ignored);
    fs::remove_all(path, ignored);
  }
  std::string operator/(const std::string& name) const { return (path / name).string(); }
};

void WriteText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  ::stat(path.c_str(), &info);
  return info.st_mode & 0777;
}

TEST(ModelFileTest, SaveKeepsLinksAndPermissions) {
  TestFolder folder;
  // A link, and a link to that link, both relative: the file they name is written and they stay links.
  WriteText(folder / "real.q3d", "old\n");
  fs::create_symlink("real.q3d", folder / "link.q3d");
  fs::create_symlink("link.q3d", folder / "link2.q3d");
  ASSERT_TRUE(qor::SaveModelFile(*OneTetrahedron(), folder / "link2.q3d").ok);
  EXPECT_TRUE(fs::is_symlink(folder / "link2.q3d"));
  EXPECT_TRUE(fs::is_symlink(folder / "link.q3d"));
  EXPECT_EQ(qor::ReadWholeFile(folder / "real.q3d"), std::optional<std::string>(OneTetrahedronText));

  // A file keeps its permissions, private or not; a new file gets 0666 less the umask.
  for (const mode_t mode : {mode_t{0600}, mode_t{0640}, mode_t{0604}}) {
    WriteText(folder / "kept.q3d", "old\n");
    ::chmod((folder / "kept.q3d").c_str(), mode);
    ASSERT_TRUE(qor::SaveModelFile(*OneTetrahedron(), folder / "kept.q3d").ok);
    EXPECT_EQ(ModeOf(folder / "kept.q3d"), mode);
    EXPECT_EQ(qor::ReadWholeFile(folder / "kept.q3d"), std::optional<std::string>(OneTetrahedronText));
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ASSERT_TRUE(qor::SaveModelFile(*OneTetrahedron(), folder / "new.q3d").ok);
  EXPECT_EQ(ModeOf(folder / "new.q3d"), 0666 & ~mask);

  // A named pipe is no file to save into: refused at once, the pipe stays.
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
  EXPECT_FALSE(qor::SaveModelFile(*OneTetrahedron(), folder / "pipe").ok);
  EXPECT_TRUE(fs::is_fifo(folder / "pipe"));
}

TEST(ModelFileTest, SaveWritesInPlaceWhenOnlyTheFileIsWritable) {
  TestFolder folder;
  const std::string path = folder / "model.q3d";
  WriteText(path, "old\n");
  ::chmod(path.c_str(), 0666);
  // The folder refuses new files. Root may write anywhere, so there the save
  // runs in a child process as the unprivileged user "nobody".
  ::chmod(folder.path.c_str(), 0555);
  const auto save = [&] { return qor::SaveModelFile(*OneTetrahedron(), path).ok; };
  bool saved = false;
  if (::geteuid() != 0) {
    saved = save();
  } else {
    const pid_t child = ::fork();
    if (child == 0) _exit(::setgid(65534) == 0 && ::setuid(65534) == 0 && save() ? 0 : 1);
    int status = 0;
    ::waitpid(child, &status, 0);
    saved = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
  EXPECT_TRUE(saved);
  EXPECT_EQ(qor::ReadWholeFile(path), std::optional<std::string>(OneTetrahedronText));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.path), fs::directory_iterator()), 1);
}

TEST(ModelFileTest, SaveRefusesAModelThatCouldNotBeReadBack) {
  TestFolder folder;
  const std::string path = folder / "model.q3d";
  WriteText(path, "the model saved before\n");
  const float bad[] = {std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                       std::numeric_limits<float>::quiet_NaN()};
  for (const float value : bad) {
    for (int where = 0; where < 3; ++where) {  // a coordinate, a material constant, a force
      auto store = OneTetrahedron();
      if (where == 0) store->Nodes[2].y = value;
      if (where == 1) store->Materials[1].E = value;
      if (where == 2) store->Forces[qor::DofOf(4, 3)] = value;
      for (const qor::IoResult& result :
           {qor::SaveModelFile(*store, path),
            qor::SaveSolidModelFile(qor::SolidModelFromStore(*store, qor::Densities), nullptr, path)}) {
        EXPECT_FALSE(result.ok) << value << " at " << where;
        EXPECT_EQ(result.message, (qor::UserMessage{"Błąd przy zapisie...", "Zapis", qor::MessageStyle::Exclamation}));
      }
    }
  }
  auto pointsOutside = OneTetrahedron();
  pointsOutside->Elements[1].node[4] = 5;
  EXPECT_FALSE(qor::SaveSolidModelFile(qor::SolidModelFromStore(*pointsOutside, qor::Densities), nullptr, path).ok);
  EXPECT_EQ(qor::ReadWholeFile(path), std::optional<std::string>("the model saved before\n"));
  EXPECT_FALSE(qor::SaveModelFile(*OneTetrahedron(), folder / "missing/model.q3d").ok);
}

TEST(ModelFileTest, OpenAndImportReadOnlyRegularFilesOfBoundedSize) {
  TestFolder folder;
  ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);  // no writer: a blocking open would wait for ever
  fs::create_directories(folder / "folder");
  { std::ofstream(folder / "huge.q3d"); }
  fs::resize_file(folder / "huge.q3d", qor::MaxReadFileSize + 1);  // sparse: costs no disk
  WriteText(folder / "small.msh", "x");
  fs::resize_file(folder / "small.msh", qor::MaxReadFileSize);
  EXPECT_TRUE(qor::ReadWholeFile(folder / "small.msh").has_value());  // the bound itself is read

  for (const std::string& path : {std::string("/dev/zero"), folder / "pipe", folder / "folder", folder / "huge.q3d"}) {
    EXPECT_FALSE(qor::ReadWholeFile(path).has_value()) << path;
    auto store = SpoiltStore();
    const auto before = std::make_unique<ModelStore>(*store);
    DensityTable densities{};
    const qor::IoResult opened = qor::OpenModelFile(path, *store, densities);
    EXPECT_EQ(opened.message, (qor::UserMessage{"Błąd przy odczycie...", "Odczyt", qor::MessageStyle::Exclamation}));
    const qor::IoResult imported = qor::ImportGidFile(path, *store);
    EXPECT_FALSE(imported.ok) << path;
    EXPECT_EQ(imported.message.text, "Nie można odczytać pliku siatki.");
    EXPECT_TRUE(SameStore(*store, *before)) << path;
  }
}

// Switches the process to a Polish locale, whose decimal separator is ',', and
// back to "C" at the end. Where pl_PL.UTF-8 is not installed it is compiled
// into a temporary folder with localedef and found through LOCPATH.
class PolishLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::setlocale(LC_ALL, "pl_PL.UTF-8")) {
      folder_ = fs::temp_directory_path() / ("qor-locale-" + std::to_string(::getpid()));
      fs::create_directories(folder_);
      const std::string command =
          "localedef -i pl_PL -f UTF-8 '" + (folder_ / "pl_PL.UTF-8").string() + "' >/dev/null 2>&1";
      if (std::system(command.c_str()) == -1) GTEST_SKIP() << "localedef cannot run";
      ::setenv("LOCPATH", folder_.c_str(), 1);
      if (!std::setlocale(LC_ALL, "pl_PL.UTF-8")) GTEST_SKIP() << "no pl_PL.UTF-8 locale and localedef failed";
    }
  }
  void TearDown() override {
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
    if (!folder_.empty()) fs::remove_all(folder_);
  }
  fs::path folder_;
};

TEST_F(PolishLocale, TheFileStillUsesAPoint) {
  // The locale really is in force: the C library now writes a comma.
  char printed[32];
  std::snprintf(printed, sizeof printed, "%g", 0.3);
  ASSERT_STREQ(printed, "0,3");

  const std::string text = qor::WriteModelText(*OneTetrahedron());
  EXPECT_EQ(text, OneTetrahedronText);
  EXPECT_EQ(text.find(','), std::string::npos);
  auto store = std::make_unique<ModelStore>();
  DensityTable densities{};
  ASSERT_TRUE(qor::ReadModelText(text, *store, densities).ok);
  EXPECT_EQ(store->Materials[1].nu, 0.3f);
  EXPECT_EQ(store->Nodes[2].x, 1.5f);
  ExpectRefused(WithToken(text, "1.5 0 0", "1,5 0 0"));
}

}  // namespace
