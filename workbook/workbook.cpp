#include "workbook/workbook.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <locale.h>
#include <stdlib.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include "base/csv_records.h"
#include "base/reader_text.h"
#include "protocol/calendar_date.h"
#include "workbook/cell_text.h"
#include "workbook/cell_types.h"
#include "workbook/mapped_file.h"

namespace sinkview {

namespace {

// The sheets in the order a reader of the study looks for them.
constexpr std::array<std::pair<std::string_view, std::string_view>, 13> kSheets = {{
    {"baseline.csv", "Baseline"},
    {"summary.csv", "Summary"},
    {"visits.csv", "Visits"},
    {"flow.csv", "Flow"},
    {"cohort.csv", "Cohort"},
    {"bands.csv", "Bands"},
    {"comparison.csv", "Comparison"},
    {"model.csv", "Model"},
    {"model_fit.csv", "Model fit"},
    {"model_tests.csv", "Model tests"},
    {"precision.csv", "Precision"},
    {"long.csv", "Long"},
    {"rejected.csv", "Rejected"},
}};

std::size_t SheetRank(std::string_view fileName) {
  const auto known = std::find_if(kSheets.begin(), kSheets.end(),
                                  [&](const auto& sheet) { return sheet.first == fileName; });
  return static_cast<std::size_t>(known - kSheets.begin());
}

// libxlsxwriter prints numbers and widths with printf, which takes the
// decimal separator of the locale: "1,5" in a German one, a broken file.
// The C locale for this thread alone, while the workbook is made.
class CNumbersOnThisThread {
public:
  CNumbersOnThisThread() : c_(::newlocale(LC_ALL_MASK, "C", nullptr)), previous_(::uselocale(c_)) {}
  ~CNumbersOnThisThread() {
    ::uselocale(previous_);
    ::freelocale(c_);
  }
  CNumbersOnThisThread(const CNumbersOnThisThread&) = delete;
  CNumbersOnThisThread& operator=(const CNumbersOnThisThread&) = delete;

private:
  locale_t c_, previous_;
};

// A name that reaches the file or folder open as `fd`, however its path is
// changed meanwhile: for libxlsxwriter, which wants names.
std::string NameOfOpen(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

// An unnamed file in the workbook's folder (on its file system, where the
// space is) that libxlsxwriter, which wants a file name, reaches through
// /proc/self/fd. Where the file system has no unnamed files, a hidden one
// is made and its name removed at once.
class Spool {
public:
  explicit Spool(int folder) {
    fd_ = ::openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ >= 0) return;
    std::string name = NameOfOpen(folder) + "/" + TemporaryName("workbook", NAME_MAX, "XXXXXX");
    fd_ = ::mkostemps(name.data(), 4, O_CLOEXEC);
    if (fd_ >= 0) ::unlink(name.c_str());
  }
  ~Spool() {
    if (fd_ >= 0) ::close(fd_);
  }
  Spool(const Spool&) = delete;
  Spool& operator=(const Spool&) = delete;

  int Descriptor() const { return fd_; }
  std::string Name() const { return NameOfOpen(fd_); }

private:
  int fd_ = -1;
};

// A workbook being made, with its formats and the first thing that went
// wrong.
class Book {
public:
  Book(const std::string& file, const std::string& tmpdir) : tmpdir_(tmpdir) {
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE; // rows go to disk as they are written
    options.tmpdir = tmpdir_.data();
    book_ = ::workbook_new_opt(file.c_str(), &options);
    if (book_ == nullptr) {
      problem_ = "it cannot be made";
      return;
    }
    bold_ = ::workbook_add_format(book_);
    ::format_set_bold(bold_);
    date_ = ::workbook_add_format(book_);
    ::format_set_num_format(date_, "yyyy-mm-dd");
  }
  ~Book() {
    if (book_ != nullptr) ::lxw_workbook_free(book_);
  }
  Book(const Book&) = delete;
  Book& operator=(const Book&) = delete;

  bool Good() const { return problem_.empty(); }
  const std::string& Problem() const { return problem_; }
  void Note(std::string note) { notes_.push_back(std::move(note)); }
  // The notes, the texts cut beyond the first few counted in one line: a
  // table of a million long texts is not a million lines.
  std::vector<std::string> TakeNotes() {
    if (cuts_ > kCutsNamed)
      notes_.push_back("and " + std::to_string(cuts_ - kCutsNamed) +
                       " more texts cut to fit their cells, each marked " + std::string(kCutMark));
    cuts_ = 0;
    return std::move(notes_);
  }

  lxw_worksheet* AddSheet(const std::string& name) {
    lxw_worksheet* sheet = Good() ? ::workbook_add_worksheet(book_, name.c_str()) : nullptr;
    if (sheet == nullptr && Good()) problem_ = "the sheet '" + name + "' cannot be added";
    return sheet;
  }

  void Cell(lxw_worksheet* sheet, lxw_row_t row, lxw_col_t column, std::string_view field, CellKind kind,
            bool bold) {
    if (field.empty() || !Good()) return;
    lxw_error error = LXW_NO_ERROR;
    if (kind == CellKind::Number) {
      error = ::worksheet_write_number(sheet, row, column, *NumberCell(field), bold ? bold_ : nullptr);
    } else if (kind == CellKind::Date) {
      const CalendarDate date = *DateCell(field);
      lxw_datetime when{static_cast<int>(date.year()),
                        static_cast<int>(static_cast<unsigned>(date.month())),
                        static_cast<int>(static_cast<unsigned>(date.day())),
                        0,
                        0,
                        0};
      error = ::worksheet_write_datetime(sheet, row, column, &when, date_);
    } else {
      const CellText text = CellTextOf(field);
      if (text.cut && cuts_++ < kCutsNamed)
        notes_.push_back(std::string("sheet '") + sheet->name + "', row " + std::to_string(row + 1) +
                         ", column " + std::to_string(column + 1) + ": a text of more than " +
                         std::to_string(kCellTextLimit) + " characters, cut and marked " +
                         std::string(kCutMark));
      error = ::worksheet_write_string(sheet, row, column, text.text.c_str(), bold ? bold_ : nullptr);
    }
    Check(error);
  }

  void Check(lxw_error error) {
    if (error != LXW_NO_ERROR && Good()) problem_ = ::lxw_strerror(error);
  }

  // Writes the file; the book is spent.
  void Close() {
    lxw_workbook* book = std::exchange(book_, nullptr);
    if (book == nullptr) return;
    if (!Good()) {
      ::lxw_workbook_free(book);
      return;
    }
    Check(::workbook_close(book));
  }

private:
  std::string tmpdir_;
  lxw_workbook* book_ = nullptr;
  lxw_format *bold_ = nullptr, *date_ = nullptr;
  std::string problem_;
  std::vector<std::string> notes_;
  static constexpr std::size_t kCutsNamed = 10;
  std::size_t cuts_ = 0;
};

Failure NotWritten(const std::string& path, const std::string& why) {
  return Failure{"The workbook " + ShownFileName(path) + " is not written: " + why + "."};
}

// Mapped pages are let go in steps of this many bytes read.
constexpr std::size_t kReleaseStep = 4 << 20;

// Reads every record of `csv` in turn; the reader's failure, naming the
// file and line, else none.
template <typename Each>
Expected<void, Failure> ForEachRecord(std::string_view csv, const std::string& fileName, Each each,
                                      const MappedFile* mapped = nullptr) {
  auto reader = CsvRecordReader::Open(csv, fileName);
  if (!reader) return Unexpected(reader.error());
  CsvRecord record;
  std::size_t released = 0;
  for (std::size_t row = 0;; ++row) {
    const auto more = reader->Next(record);
    if (!more) return Unexpected(more.error());
    if (!*more) break;
    each(row, record.fields);
    if (mapped != nullptr && reader->Offset() >= released + kReleaseStep) {
      released = reader->Offset();
      mapped->Release(released);
    }
  }
  if (mapped != nullptr) mapped->Release(csv.size());
  return {};
}

void SetWidths(lxw_worksheet* sheet, const ColumnSurvey& survey) {
  for (std::size_t c = 0; c < survey.Columns(); ++c)
    ::worksheet_set_column(sheet, static_cast<lxw_col_t>(c), static_cast<lxw_col_t>(c), survey.Width(c),
                           nullptr);
}

// A table in two passes: the first types and measures its columns, the
// second writes its rows, so that nothing of it is held in memory.
Expected<void, Failure> AddTable(Book& book, const WorkbookTable& table) {
  ColumnSurvey survey;
  std::size_t rows = 0;
  const auto surveyed = ForEachRecord(
      table.csv, table.fileName,
      [&](std::size_t row, const auto& fields) {
        survey.Add(fields, row == 0);
        rows = row + 1;
      },
      table.mapped);
  if (!surveyed) return surveyed;
  // Too big for a sheet: the CSV file has it all, the workbook the rest.
  if (rows > LXW_ROW_MAX || survey.Columns() > LXW_COL_MAX) {
    book.Note("sheet '" + SheetNameOf(table.fileName) + "' left out: " + table.fileName + " has " +
              CountText(rows, "row") + " and " + CountText(survey.Columns(), "column") +
              ", more than a sheet holds (" + std::to_string(LXW_ROW_MAX) + " rows, " +
              std::to_string(LXW_COL_MAX) + " columns); the CSV file holds it whole");
    return {};
  }
  lxw_worksheet* sheet = book.AddSheet(SheetNameOf(table.fileName));
  if (sheet == nullptr) return {};
  SetWidths(sheet, survey);
  ::worksheet_freeze_panes(sheet, 1, 0);
  return ForEachRecord(
      table.csv, table.fileName,
      [&](std::size_t row, const auto& fields) {
        for (std::size_t c = 0; c < fields.size(); ++c)
          book.Cell(sheet, static_cast<lxw_row_t>(row), static_cast<lxw_col_t>(c), fields[c],
                    row == 0 ? CellKind::Text : survey.Kind(c), row == 0);
      },
      table.mapped);
}

// A cell of the first sheet, typed on its own.
struct StudyCell {
  std::string text;
  CellKind kind = CellKind::Text;
};
struct StudyRow {
  std::vector<StudyCell> cells;
  bool bold = false;
};

CellKind KindOf(std::string_view field) {
  return NumberCell(field) ? CellKind::Number : DateCell(field) ? CellKind::Date : CellKind::Text;
}

// dictionary.csv: file, column, unit, description, its header in bold.
Expected<std::vector<StudyRow>, Failure> DictionaryRows(std::string_view dictionaryCsv) {
  std::vector<StudyRow> rows;
  auto read = ForEachRecord(dictionaryCsv, "dictionary.csv", [&](std::size_t row, const auto& fields) {
    StudyRow line{{}, row == 0};
    for (const std::string& field : fields) line.cells.push_back({field, CellKind::Text});
    rows.push_back(std::move(line));
  });
  if (!read) return Unexpected(read.error());
  return rows;
}

Expected<void, Failure> AddStudySheet(Book& book, const StudySheet& study) {
  std::vector<StudyRow> rows = {
      {{{"Program"}, {study.program}}},
      {{{"Run on"}, {IsoDate(study.runDate), CellKind::Date}}},
      {},
  };
  if (!study.protocolToml.empty()) {
    rows.push_back({{{"Protocol"}}, true});
    std::string_view toml = study.protocolToml;
    while (!toml.empty()) {
      const std::size_t end = std::min(toml.find('\n'), toml.size());
      std::string line(toml.substr(0, end));
      if (!line.empty() && line.back() == '\r') line.pop_back();
      rows.push_back({{{std::move(line)}}});
      toml.remove_prefix(std::min(end + 1, toml.size()));
    }
  } else {
    rows.push_back({{{"Settings"}}, true});
    for (const auto& [name, value] : study.settings) rows.push_back({{{name}, {value, KindOf(value)}}});
  }
  if (!study.dictionaryCsv.empty()) {
    rows.push_back({});
    rows.push_back({{{"Columns"}}, true});
    auto dictionary = DictionaryRows(study.dictionaryCsv);
    if (!dictionary) return Unexpected(dictionary.error());
    rows.insert(rows.end(), dictionary->begin(), dictionary->end());
  }

  ColumnSurvey survey;
  for (const StudyRow& row : rows) {
    std::vector<std::string> texts;
    for (const StudyCell& cell : row.cells) texts.push_back(cell.text);
    survey.Add(texts, true);
  }
  lxw_worksheet* sheet = book.AddSheet("Study");
  if (sheet == nullptr) return {};
  SetWidths(sheet, survey);
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].cells.size(); ++c)
      book.Cell(sheet, static_cast<lxw_row_t>(r), static_cast<lxw_col_t>(c), rows[r].cells[c].text,
                rows[r].cells[c].kind, rows[r].bold);
  return {};
}

std::vector<WorkbookTable> InSheetOrder(std::vector<WorkbookTable> tables) {
  std::stable_sort(tables.begin(), tables.end(), [](const WorkbookTable& a, const WorkbookTable& b) {
    return SheetRank(a.fileName) < SheetRank(b.fileName);
  });
  return tables;
}

} // namespace

std::string SheetNameOf(std::string_view fileName) {
  if (const std::size_t rank = SheetRank(fileName); rank < kSheets.size())
    return std::string(kSheets[rank].second);
  std::string name(fileName.substr(0, fileName.rfind('.')));
  for (char& c : name)
    if (c == '_' || std::string_view("[]:*?/\\'").find(c) != std::string_view::npos) c = ' ';
  if (!name.empty() && name[0] >= 'a' && name[0] <= 'z') name[0] = static_cast<char>(name[0] - 'a' + 'A');
  std::size_t keep = std::min<std::size_t>(name.size(), LXW_SHEETNAME_MAX);
  while (keep > 0 && keep < name.size() && (static_cast<unsigned char>(name[keep]) & 0xc0) == 0x80) --keep;
  return name.substr(0, keep);
}

Expected<PendingWorkbook, Failure> WorkbookInTemporary(OutputFile target, const StudySheet& study,
                                                       const std::vector<WorkbookTable>& tables) {
  const std::string& path = target.Path();
  if (auto opened = target.OpenFolder(); !opened) return Unexpected(opened.error());
  // Refused before any work when the file may not be replaced.
  auto file = AtomicFile::Open(target);
  if (!file) return Unexpected(file.error());
  // libxlsxwriter's temporaries beside the workbook's, in the folder as
  // it was opened.
  const int folderFd = target.Folder()->Descriptor();
  const std::string folder = NameOfOpen(folderFd);
  const Spool spool(folderFd);
  if (spool.Descriptor() < 0) return Unexpected(CannotWrite(path, "no temporary file in its folder", errno));

  std::vector<std::string> notes;
  {
    const CNumbersOnThisThread cNumbers;
    Book book(spool.Name(), folder);
    auto added = AddStudySheet(book, study);
    for (const WorkbookTable& table : InSheetOrder(tables)) {
      if (!added || !book.Good()) break;
      added = AddTable(book, table);
    }
    if (!added) return Unexpected(NotWritten(path, added.error().message));
    book.Close();
    if (!book.Good()) return Unexpected(NotWritten(path, book.Problem()));
    notes = book.TakeNotes();
  }
  // libxlsxwriter wrote to a file of its own: copied whole into the atomic
  // writer's temporary, it is put in place with the run's other files.
  const auto made = MappedFile::OfDescriptor(spool.Descriptor(), path);
  if (!made) return Unexpected(made.error());
  const std::string_view bytes = made->Text();
  for (std::size_t at = 0; at < bytes.size(); at += kReleaseStep) {
    file->Write(bytes.substr(at, kReleaseStep));
    made->Release(at + kReleaseStep);
  }
  return PendingWorkbook{std::move(*file), std::move(notes)};
}

} // namespace sinkview
