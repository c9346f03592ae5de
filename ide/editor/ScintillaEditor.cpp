#include "ScintillaEditor.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QSaveFile>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <vector>

#include "Beep.h"
#include "EditorFileError.h"
#include "LineEnds.h"

namespace {

EditorFont sharedFont;

// A file is read and handed to Scintilla in pieces of this size.
constexpr size_t kLoadBlockSize = 1 << 20;

// The modifications the editor is told about: text changes, and deletions
// before they happen, while their lines still carry their markers.
constexpr long kTextChanges = QsciScintillaBase::SC_MOD_INSERTTEXT | QsciScintillaBase::SC_MOD_DELETETEXT
                              | QsciScintillaBase::SC_MOD_BEFOREDELETE;

// Colours are Scintilla's 0x00BBGGRR values.
constexpr long kRed = 0x0000FF;
constexpr long kGreen = 0x00FF00;
constexpr long kBlack = 0x000000;
constexpr long kCommentGreen = 0x008000;
constexpr long kNumberTeal = 0x808000;
constexpr long kStringPurple = 0x800080;
constexpr long kNavy = 0x800000;
constexpr long kRegisterOlive = 0x408080;
constexpr long kDirectiveBrown = 0x404080;

const char kCKeywords[] =
    "break case continue default do else enum for goto if inline return sizeof struct switch typedef union while "
    "char const double extern float int long register short signed static unsigned void volatile";
const char kAsmInstructions[] =
    "and or xor cpl neg sla sla2 sla4 rl rlc sra sra2 sra4 sr rr rrc move cpl move and or xor add addc sub subb "
    "jump ljump sjump fjump djnz ldjnz sdjnz fdjnz call lcall scall fcall ret reti xch xchn xchw xche push pop popi "
    "cmp mb1 mb2 mb3 mb4 mw1 mw2 mlb1 mlb2 mlb3 mlb4 mlw1 mlw2 seb sew bic clz nop";
const char kAsmRegisters[] =
    "ap apc nul psf ic sc ipr0 ipr1 imr sc iir ckcn wdcn a acc ip sp iv lc offs dpc gr grl bp grs grh grxl fp dp";
const char kAsmDirectives[] = "org equ end macro param endm db dw dl dd";

// Style numbers of the two lexers.
enum CStyle { CComment = 1, CLineComment = 2, CNumber = 4, CKeyword = 5, CString = 6, CPreprocessor = 9 };
enum AsmStyle {
    AsmComment = 1,
    AsmNumber = 2,
    AsmString = 3,
    AsmInstruction = 6,
    AsmRegister = 8,
    AsmDirective = 9,
    AsmCommentBlock = 11,
    AsmCharacter = 12
};
enum AsmKeywordSet { AsmInstructionSet = 0, AsmRegisterSet = 2, AsmDirectiveSet = 3 };

// Whether a line holds more than limit bytes, its line end not counted.
// Such a line covers a whole block of half that size, so only a block
// without a line end is looked at closely: in ordinary text the first line
// end of each block is a few bytes in, and the text is not read through.
bool HasLineLongerThan(std::string_view text, size_t limit)
{
    const size_t block = std::max<size_t>(limit / 2, 1);
    for (size_t at = 0; at < text.size(); at += block) {
        const auto blockEnd = text.begin() + static_cast<std::ptrdiff_t>(std::min(text.size(), at + block));
        if (std::find_if(text.begin() + static_cast<std::ptrdiff_t>(at), blockEnd, IsLineEndByte) != blockEnd)
            continue;
        const auto lineStart = std::find_if(std::make_reverse_iterator(text.begin() + static_cast<std::ptrdiff_t>(at)),
                                            text.rend(), IsLineEndByte)
                                   .base();
        const auto lineEnd = std::find_if(blockEnd, text.end(), IsLineEndByte);
        if (static_cast<size_t>(lineEnd - lineStart) > limit)
            return true;
    }
    return false;
}

int ExecutionMask()
{
    return 1 << ScintillaEditor::ExecutionMarker;
}

}  // namespace

QFont EditorFont::ToQFont() const
{
    QFont font(QString::fromStdString(name), size);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

EditorFont EditorFont::FromQFont(const QFont& font, int charset)
{
    return {font.family().toStdString(), font.bold(), font.italic(), font.pointSize(), charset};
}

FileAge FileAgeOf(const QString& path)
{
    const QDateTime modified = QFileInfo(path).lastModified();
    return modified.isValid() ? modified.toMSecsSinceEpoch() : 0;
}

ScintillaEditor::ScintillaEditor(QWidget* parent, ScintillaEditorOwner* owner)
    : QsciScintillaBase(parent), owner_(owner)
{
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this, &ScintillaEditor::OnModified);
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, &ScintillaEditor::OnUpdateUi);
    connect(this, &QsciScintillaBase::SCN_MARGINCLICK, this, &ScintillaEditor::OnMarginClick);
    connect(this, &QsciScintillaBase::SCN_SAVEPOINTREACHED, this, [this] { OnSavePoint(false); });
    connect(this, &QsciScintillaBase::SCN_SAVEPOINTLEFT, this, [this] { OnSavePoint(true); });
    connect(this, &QsciScintillaBase::SCN_MODIFYATTEMPTRO, this, [] { Beep(); });

    // The system's code page is UTF-8. Bytes that are not UTF-8 are kept as
    // they are, so any file's bytes survive editing.
    SendEditor(SCI_SETCODEPAGE, SC_CP_UTF8);
    SetLineEnd(kPlatformLineEnd);
    // Only text changes are of interest; style changes would flood the owner.
    SendEditor(SCI_SETMODEVENTMASK, kTextChanges);
    ApplySharedFont();

    SendEditor(SCI_MARKERDEFINE, BreakpointMarker, SC_MARK_CIRCLE);
    SendEditor(SCI_MARKERSETBACK, BreakpointMarker, kRed);
    SendEditor(SCI_MARKERSETFORE, BreakpointMarker, kRed);
    for (int marker : {ExecutionMarker, ExecutionMarkerRight}) {
        SendEditor(SCI_MARKERDEFINE, marker, SC_MARK_SHORTARROW);
        SendEditor(SCI_MARKERSETBACK, marker, kGreen);
        SendEditor(SCI_MARKERSETFORE, marker, kBlack);
    }
    SendEditor(SCI_SETMARGINMASKN, 1, (1 << BreakpointMarker) | (1 << ExecutionMarker));
    SendEditor(SCI_SETMARGINMASKN, 2, 1 << ExecutionMarkerRight);
    for (int margin = 0; margin < 3; ++margin)
        SendEditor(SCI_SETMARGINSENSITIVEN, margin, 1);

    caretPeriod_ = SendEditor(SCI_GETCARETPERIOD);
    SendEditor(SCI_SETXCARETPOLICY, CARET_SLOP, 2);
    SendEditor(SCI_SETYCARETPOLICY, CARET_SLOP, 2);
    SetLexerFor(LexerAssembler);
}

long ScintillaEditor::SendEditor(unsigned int message, uintptr_t wParam, intptr_t lParam) const
{
    return SendScintilla(message, static_cast<unsigned long>(wParam), static_cast<long>(lParam));
}

long ScintillaEditor::SendEditor(unsigned int message, uintptr_t wParam, const void* lParam) const
{
    return SendScintilla(message, static_cast<unsigned long>(wParam), const_cast<void*>(lParam));
}

void ScintillaEditor::ApplySharedFont()
{
    for (int style : {STYLE_LINENUMBER, STYLE_DEFAULT}) {
        SendEditor(SCI_STYLESETFONT, style, sharedFont.name.c_str());
        SendEditor(SCI_STYLESETBOLD, style, sharedFont.bold);
        SendEditor(SCI_STYLESETITALIC, style, sharedFont.italic);
        SendEditor(SCI_STYLESETSIZE, style, sharedFont.size);
        SendEditor(SCI_STYLESETCHARACTERSET, style, sharedFont.charset);
    }
    UpdateLineNumberMargin();
}

const EditorFont& ScintillaEditor::SharedFont()
{
    return sharedFont;
}

void ScintillaEditor::ApplyEditorFont(const EditorFont& font, ScintillaEditor* editor)
{
    sharedFont = font;
    if (editor) {
        editor->ApplySharedFont();
        // The lexer's styles were copied from the default style; they take
        // the new font only when copied again.
        editor->SetLexerFor(editor->lexerKind_);
    }
}

void ScintillaEditor::UpdateLineNumberMargin()
{
    const std::string digits = std::to_string(LineCount());
    const long width = SendEditor(SCI_TEXTWIDTH, STYLE_LINENUMBER, digits.c_str()) + 4;
    SendEditor(SCI_SETMARGINWIDTHN, 0, width);
}

void ScintillaEditor::SetLexerFor(int kind)
{
    lexerKind_ = kind;
    SendEditor(SCI_STYLECLEARALL);
    auto colour = [this](int style, long value, bool bold = false) {
        SendEditor(SCI_STYLESETFORE, style, value);
        if (bold)
            SendEditor(SCI_STYLESETBOLD, style, 1);
    };
    if (kind == LexerC) {
        SendEditor(SCI_SETLEXER, SCLEX_CPP);
        SendEditor(SCI_SETKEYWORDS, 0, kCKeywords);
        colour(CComment, kCommentGreen);
        colour(CLineComment, kCommentGreen);
        colour(CNumber, kNumberTeal);
        SendEditor(SCI_STYLESETBOLD, CKeyword, 1);
        colour(CString, kStringPurple);
        colour(CPreprocessor, kNavy, true);
    } else if (kind == LexerAssembler) {
        SendEditor(SCI_SETLEXER, SCLEX_ASM);
        SendEditor(SCI_SETKEYWORDS, AsmInstructionSet, kAsmInstructions);
        SendEditor(SCI_SETKEYWORDS, AsmRegisterSet, kAsmRegisters);
        SendEditor(SCI_SETKEYWORDS, AsmDirectiveSet, kAsmDirectives);
        colour(AsmComment, kCommentGreen);
        colour(AsmCommentBlock, kCommentGreen);
        colour(AsmNumber, kNumberTeal, true);
        colour(AsmInstruction, kNavy, true);
        colour(AsmString, kStringPurple);
        colour(AsmCharacter, kStringPurple);
        colour(AsmRegister, kRegisterOlive, true);
        colour(AsmDirective, kDirectiveBrown, true);
    }
    colourVisibleText();
}

// Scintilla colours text as it paints it; only what is on screen now is
// coloured at once.
void ScintillaEditor::colourVisibleText()
{
    const long firstVisible = SendEditor(SCI_GETFIRSTVISIBLELINE);
    const long lastLine = SendEditor(SCI_DOCLINEFROMVISIBLE, firstVisible + SendEditor(SCI_LINESONSCREEN));
    SendEditor(SCI_COLOURISE, 0, SendEditor(SCI_GETLINEENDPOSITION, lastLine));
}

void ScintillaEditor::ChooseLexerFor(const QString& path)
{
    // The suffix is compared as written: ".ASM" is not an assembler source.
    const QString suffix = QFileInfo(path).suffix();
    if (suffix == QLatin1String("asm") || suffix == QLatin1String("inc") || suffix == QLatin1String("mpp"))
        SetLexerFor(LexerAssembler);
    else if (suffix == QLatin1String("c") || suffix == QLatin1String("h"))
        SetLexerFor(LexerC);
}

FileAge ScintillaEditor::LoadFile(const QString& path)
{
    if (path.isEmpty())
        return 0;
    QFile file(path);
    openForLoading(file);
    replaceTextFrom(file);
    ChooseLexerFor(path);
    return FileAgeOf(path);
}

// Everything that decides whether a file may be read at all happens here,
// before the editor changes.
void ScintillaEditor::openForLoading(QFile& file)
{
    if (!file.exists())
        throw EditorFileError(EditorFileError::Kind::NotFound, "FILE_NOT_FOUND");
    // A FIFO would block the open, a device would be read without end.
    if (const auto check = platform::checkUserFile(QFile::encodeName(file.fileName()).toStdString(), kMaxFileBytes);
        !check.readable())
        throw EditorFileError(EditorFileError::Kind::Unreadable, check.reason + ".");
    if (!file.open(QIODevice::ReadOnly))
        throw EditorFileError(EditorFileError::Kind::Unreadable, file.errorString().toStdString());
}

// The file goes into Scintilla block by block behind the old text, which is
// removed only once the whole file is in: no copy of the whole text is made
// beside Scintilla's own, and a read error leaves the old text as it was.
void ScintillaEditor::replaceTextFrom(QFile& file)
{
    const bool readOnly = IsReadOnly();
    const bool wasLoaded = loaded_;
    loaded_ = false;
    SendEditor(SCI_SETREADONLY, 0);
    // The undo history would hold a second copy of the text, and each
    // modification notice costs time in proportion to the whole text.
    SendEditor(SCI_SETUNDOCOLLECTION, 0);
    SendEditor(SCI_SETMODEVENTMASK, 0);
    const long oldLength = SendEditor(SCI_GETLENGTH);
    SendEditor(SCI_ALLOCATE, static_cast<uintptr_t>(oldLength + file.size() + file.size() / 16 + 2));

    std::vector<char> block(kLoadBlockSize);
    LineEndNormaliser lineEnds;
    const auto append = [this](std::string_view text) { SendEditor(SCI_APPENDTEXT, text.size(), text.data()); };
    bool readFailed = false;
    while (true) {
        const qint64 count = file.read(block.data(), static_cast<qint64>(block.size()));
        if (count <= 0) {
            readFailed = count < 0 || file.error() != QFileDevice::NoError;
            break;
        }
        lineEnds.feed(std::string_view(block.data(), static_cast<size_t>(count)), append);
    }
    if (readFailed) {
        SendEditor(SCI_DELETERANGE, oldLength, SendEditor(SCI_GETLENGTH) - oldLength);
        SendEditor(SCI_SETMODEVENTMASK, kTextChanges);
        SendEditor(SCI_SETUNDOCOLLECTION, 1);
        SendEditor(SCI_SETREADONLY, readOnly);
        loaded_ = wasLoaded;
        throw EditorFileError(EditorFileError::Kind::Unreadable, file.errorString().toStdString());
    }
    lineEnds.finish(append);
    SendEditor(SCI_DELETERANGE, 0, oldLength);
    SetLineEnd(lineEnds.lineEnd());
    // As after replacing the whole text: caret, selection and first line at the start.
    SendEditor(SCI_SETEMPTYSELECTION, 0);
    SendEditor(SCI_SETFIRSTVISIBLELINE, 0);
    SendEditor(SCI_SETMODEVENTMASK, kTextChanges);
    UpdateLineNumberMargin();
    SteadyCaretForLongLines();
    SendEditor(SCI_SETUNDOCOLLECTION, 1);
    // Removing the old text folded its markers onto the first line, the only
    // one that can carry any: a loaded file starts without markers.
    SendEditor(SCI_MARKERDELETE, 0, -1);
    SendEditor(SCI_SETREADONLY, readOnly);
    SendEditor(SCI_SETSAVEPOINT);
    SendEditor(SCI_EMPTYUNDOBUFFER);
    loaded_ = true;
}

FileAge ScintillaEditor::SaveFile(const QString& path)
{
    // A pasted line end of another kind is written as the file's kind.
    const std::string_view text = ownText();
    QSaveFile file(path);
    bool written = file.open(QIODevice::WriteOnly);
    const auto write = [&file, &written](std::string_view bytes) {
        written =
            written && file.write(bytes.data(), static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
    };
    LineEndNormaliser lineEnds(lineEnd_);
    lineEnds.feed(text, write);
    lineEnds.finish(write);
    if (!written || !file.commit()) {
        const std::string reason = file.errorString().toStdString();
        file.cancelWriting();
        throw EditorFileError(EditorFileError::Kind::Unwritable, reason);
    }
    SendEditor(SCI_SETSAVEPOINT);
    SendEditor(SCI_EMPTYUNDOBUFFER);
    // An untitled text that got a file reports its line changes from now on,
    // so its breakpoint list follows its markers.
    loaded_ = true;
    ChooseLexerFor(path);
    return FileAgeOf(path);
}

bool ScintillaEditor::ToggleBreakpointMarker(int line)
{
    const bool add = !HasBreakpointMarker(line);
    if (add)
        SendEditor(SCI_MARKERADD, line - 1, BreakpointMarker);
    else
        DeleteMarker(line - 1, BreakpointMarker);
    Focus();
    return add;
}

void ScintillaEditor::DeleteMarker(long line, int marker)
{
    // Deleting lines folds their markers into the line above, so a line may
    // carry a marker more than once; one delete removes only one of them.
    while (SendEditor(SCI_MARKERGET, line) & (1 << marker))
        SendEditor(SCI_MARKERDELETE, line, marker);
}

bool ScintillaEditor::HasBreakpointMarker(int line) const
{
    return (SendEditor(SCI_MARKERGET, line - 1) & (1 << BreakpointMarker)) != 0;
}

bool ScintillaEditor::HasExecutionMarker(int line) const
{
    return (SendEditor(SCI_MARKERGET, line - 1) & ExecutionMask()) != 0;
}

void ScintillaEditor::SetExecutionLine(int line)
{
    const long old = SendEditor(SCI_MARKERNEXT, 0, ExecutionMask());
    if (line - 1 != old) {
        if (old != -1) {
            DeleteMarker(old, ExecutionMarker);
            DeleteMarker(old, ExecutionMarkerRight);
        }
        if (line != -1) {
            SendEditor(SCI_MARKERADD, line - 1, ExecutionMarker);
            SendEditor(SCI_MARKERADD, line - 1, ExecutionMarkerRight);
            SendEditor(SCI_GOTOLINE, line - 1);
        }
    }
    Focus();
}

void ScintillaEditor::SetLineEnd(LineEnd lineEnd)
{
    lineEnd_ = lineEnd;
    // What Enter inserts.
    static constexpr int kModes[] = {SC_EOL_CRLF, SC_EOL_LF, SC_EOL_CR};
    SendEditor(SCI_SETEOLMODE, kModes[static_cast<int>(lineEnd)]);
}

void ScintillaEditor::SetReadOnly(bool readOnly)
{
    SendEditor(SCI_SETREADONLY, readOnly);
}

bool ScintillaEditor::IsReadOnly() const
{
    return SendEditor(SCI_GETREADONLY) != 0;
}

void ScintillaEditor::GotoLine(int line)
{
    const int target = std::clamp(line, 1, LineCount()) - 1;
    SendEditor(SCI_GOTOLINE, target);
    SendEditor(SCI_SETANCHOR, SendEditor(SCI_GETLINEENDPOSITION, target));
    SendEditor(SCI_SETCURRENTPOS, SendEditor(SCI_POSITIONFROMLINE, target));
    Focus();
}

void ScintillaEditor::SelectAt(int line, int column, int length)
{
    const long position = SendEditor(SCI_FINDCOLUMN, line - 1, column - 1);
    SendEditor(SCI_SETANCHOR, position);
    SendEditor(SCI_SETCURRENTPOS, position + length);
    SendEditor(SCI_SCROLLCARET);
    Focus();
}

int ScintillaEditor::CurrentLine() const
{
    return LineFromPosition(SendEditor(SCI_GETCURRENTPOS));
}

void ScintillaEditor::Focus()
{
    // Only the front window's editor shows a focused caret.
    if (InFrontWindow())
        SendEditor(SCI_SETFOCUS, 1);
}

bool ScintillaEditor::InFrontWindow() const
{
    for (const QWidget* widget = parentWidget(); widget; widget = widget->parentWidget())
        if (const auto* window = qobject_cast<const QMdiSubWindow*>(widget))
            return window->mdiArea() && window->mdiArea()->currentSubWindow() == window;
    return true;
}

bool ScintillaEditor::focusNextPrevChild(bool)
{
    return false;
}

void ScintillaEditor::GrabFocus()
{
    // Posted, so that it runs after the event being handled.
    QTimer::singleShot(0, this, [this] {
        if (InFrontWindow())
            SendEditor(SCI_GRABFOCUS);
    });
}

void ScintillaEditor::SetTabWidth(int width)
{
    // A hand-edited TabSize of 0 or less would collapse every tab stop.
    if (width > 0)
        SendEditor(SCI_SETTABWIDTH, width);
}

void ScintillaEditor::SetUseTabs(bool useTabs)
{
    SendEditor(SCI_SETUSETABS, useTabs);
}

void ScintillaEditor::ConvertTabsToSpaces()
{
    if (IsReadOnly())
        return;
    long position = SearchRange("\t", 0, SendEditor(SCI_GETLENGTH), {});
    while (position != -1) {
        const long column = SendEditor(SCI_GETCOLUMN, position);
        const long width = std::max(1L, SendEditor(SCI_GETTABWIDTH));
        const std::string blanks(static_cast<size_t>(width - column % width), ' ');
        SendEditor(SCI_SETTARGETRANGE, position, position + 1);
        SendEditor(SCI_REPLACETARGET, blanks.size(), blanks.c_str());
        position = SearchRange("\t", position + 1, SendEditor(SCI_GETLENGTH), {});
    }
}

int ScintillaEditor::LineCount() const
{
    return static_cast<int>(SendEditor(SCI_GETLINECOUNT));
}

int ScintillaEditor::LineFromPosition(long position) const
{
    return static_cast<int>(SendEditor(SCI_LINEFROMPOSITION, position)) + 1;
}

int ScintillaEditor::ColumnFromPosition(long position) const
{
    return static_cast<int>(SendEditor(SCI_GETCOLUMN, position)) + 1;
}

std::string ScintillaEditor::LineText(int line) const
{
    if (line < 1 || line > LineCount())
        return {};
    const long length = SendEditor(SCI_LINELENGTH, line - 1);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendEditor(SCI_GETLINE, line - 1, text.data());
    text.resize(static_cast<size_t>(length));
    return text;
}

bool ScintillaEditor::CanDo(unsigned int command) const
{
    switch (command) {
    case SCI_SELECTALL:
        return SendEditor(SCI_GETLENGTH) != 0;
    case SCI_UNDO:
        return SendEditor(SCI_CANUNDO) != 0;
    case SCI_CUT:
    case SCI_COPY:
    case SCI_CLEAR:
        return HasSelection();
    case SCI_PASTE:
        return SendEditor(SCI_CANPASTE) != 0;
    default:
        return false;
    }
}

long ScintillaEditor::Command(unsigned int message)
{
    return SendEditor(message);
}

bool ScintillaEditor::HasSelection() const
{
    return SendEditor(SCI_GETSELECTIONSTART) != SendEditor(SCI_GETSELECTIONEND);
}

std::string ScintillaEditor::SelectedText() const
{
    // Asked for its size first: a rectangular or multiple selection is longer
    // than the distance between selection start and end.
    const long size = SendEditor(SCI_GETSELTEXT, 0, intptr_t{0});
    if (size <= 1)
        return {};
    std::string text(static_cast<size_t>(size), '\0');
    SendEditor(SCI_GETSELTEXT, 0, text.data());
    text.resize(static_cast<size_t>(size) - 1);
    return text;
}

long ScintillaEditor::SelectionStart() const
{
    return SendEditor(SCI_GETSELECTIONSTART);
}

std::string ScintillaEditor::Text() const
{
    const long length = SendEditor(SCI_GETLENGTH);
    std::string text(static_cast<size_t>(length) + 1, '\0');
    SendEditor(SCI_GETTEXT, text.size(), text.data());
    text.resize(static_cast<size_t>(length));
    return text;
}

long ScintillaEditor::SearchRange(std::string_view text, long start, long end, SearchOptions options)
{
    // An empty text would match everywhere.
    if (text.empty() || start > end)
        return -1;
    int flags = 0;
    if (options.matchCase)
        flags |= SCFIND_MATCHCASE;
    if (options.wholeWord)
        flags |= SCFIND_WHOLEWORD;
    SendEditor(SCI_SETTARGETRANGE, start, end);
    SendEditor(SCI_SETSEARCHFLAGS, flags);
    return SendEditor(SCI_SEARCHINTARGET, text.size(), text.data());
}

long ScintillaEditor::FindText(std::string_view text, SearchOptions options, bool next)
{
    const long start = SendEditor(SCI_GETSELECTIONSTART) + (next ? 1 : 0);
    const long found = SearchRange(text, start, SendEditor(SCI_GETLENGTH), options);
    if (found != -1) {
        SendEditor(SCI_SETANCHOR, found);
        SendEditor(SCI_SETCURRENTPOS, SendEditor(SCI_GETTARGETEND));
        SendEditor(SCI_SCROLLCARET);
        Focus();
    }
    return found;
}

long ScintillaEditor::FindTextFrom(std::string_view text, long start, SearchOptions options)
{
    return SearchRange(text, start, SendEditor(SCI_GETLENGTH), options);
}

bool ScintillaEditor::ReplaceSelection(std::string_view text)
{
    if (IsReadOnly())
        return false;
    SendEditor(SCI_TARGETFROMSELECTION);
    const long length = SendEditor(SCI_REPLACETARGET, text.size(), text.data());
    const long start = SendEditor(SCI_GETSELECTIONSTART);
    SendEditor(SCI_SETSEL, start + length, start + length);
    return true;
}

void ScintillaEditor::SteadyCaretForLongLines()
{
    SendEditor(SCI_SETCARETPERIOD,
               static_cast<uintptr_t>(HasLineLongerThan(ownText(), kLongLineBytes) ? 0 : caretPeriod_));
}

std::string_view ScintillaEditor::ownText() const
{
    return {reinterpret_cast<const char*>(SendEditor(SCI_GETCHARACTERPOINTER)),
            static_cast<size_t>(SendEditor(SCI_GETLENGTH))};
}

void ScintillaEditor::DropMarkersOfDeletedLines(long position, long length)
{
    const long end = position + length;
    const long first = SendEditor(SCI_LINEFROMPOSITION, position);
    const long last = SendEditor(SCI_LINEFROMPOSITION, end);
    // A line is gone when none of its text is left: the first line keeps the
    // text before the deletion, the last one the text after it (or all of it
    // when the deletion ends where the line starts); a deletion within one
    // line keeps it. Scintilla would move the markers of the lines that go
    // onto the line that remains.
    for (long line = first; line <= last && last > first; ++line) {
        const long start = SendEditor(SCI_POSITIONFROMLINE, line);
        const bool kept = line == first  ? position > start
                          : line == last ? end == start || end < SendEditor(SCI_GETLINEENDPOSITION, line)
                                         : false;
        if (!kept)
            DeleteMarker(line, BreakpointMarker);
    }
    // Deleting the whole text clears every marker, also the one of the line
    // that stays.
    markFirstLineAfterDeletion_ =
        position == 0 && end == SendEditor(SCI_GETLENGTH) && HasBreakpointMarker(static_cast<int>(last) + 1);
}

void ScintillaEditor::OnModified(int position, int modificationType, const char*, int length, int linesAdded, int, int,
                                 int, int, int)
{
    if (modificationType & SC_MOD_BEFOREDELETE) {
        DropMarkersOfDeletedLines(position, length);
        return;
    }
    if (std::exchange(markFirstLineAfterDeletion_, false))
        SendEditor(SCI_MARKERADD, 0, BreakpointMarker);
    // Looked at after large changes only, a paste or a cut (and once a file
    // is in): a line typed key by key past the limit keeps its caret blinking.
    if (length > kLongLineBytes)
        SteadyCaretForLongLines();
    if (linesAdded == 0)
        return;
    UpdateLineNumberMargin();
    if (loaded_ && owner_)
        owner_->EditorLinesChanged(LineFromPosition(position), linesAdded);
}

void ScintillaEditor::OnUpdateUi(int)
{
    if (!owner_)
        return;
    const long position = SendEditor(SCI_GETCURRENTPOS);
    owner_->EditorCaretMoved(LineFromPosition(position), ColumnFromPosition(position));
    owner_->EditorOvertypeChanged(SendEditor(SCI_GETOVERTYPE) != 0);
}

void ScintillaEditor::OnMarginClick(int position, int, int)
{
    if (owner_)
        owner_->EditorMarginClicked(LineFromPosition(position));
}

void ScintillaEditor::OnSavePoint(bool modified)
{
    modified_ = modified;
    if (owner_)
        owner_->EditorModifiedChanged(modified);
}
