#include "Replay.h"

#include <cstring>

#include "Assembly.h"
#include "Directives.h"
#include "Emit.h"
#include "Encoder.h"
#include "ScannerSupport.h"

namespace zernasm {

namespace {

void ComposeData(Assembly& a, const KeptLine& line)
{
    a.directiveAddress = a.dataSegment ? DataWordAddress(a) : CodeWordAddress(a);
    for (size_t i = line.first; i < line.first + line.count; ++i) {
        const int32_t value = a.log.ItemValue(i);
        switch (a.log.ItemKind(i)) {
        case DataItem::Byte:
            DataByte(a, value);
            break;
        case DataItem::Word:
            DataWord(a, value);
            break;
        case DataItem::Long:
            DataLong(a, value);
            break;
        }
    }
    CloseDataList(a, line.byteList);
}

void ComposeKeptInstruction(Assembly& a, const KeptLine& line)
{
    Statement& s = a.statement;
    s = a.log.StatementOf(line);
    // What the scanner and the grammar would find now: a name defined after
    // its use in pass 1 is known, and the source has its value of pass 2.
    s.lastSymbol = s.lastEntry && s.lastEntry->defined ? s.lastEntry : nullptr;
    if (line.count > 0) {
        bool dividedByZero = false;
        s.sourceValue = EvaluateTerms(
            a.log.TermsOf(line), line.count, CodeWordAddress(a), a.symbols,
            [](const Symbol& symbol) { return symbol.value; }, a.expressions.EvaluationStack(), &dividedByZero);
        if (dividedByZero)
            throw TrialFailed{};
    }
    ComposeInstruction(a);
}

// A run of lines with nothing but blanks and comments: each ends at its
// line end, and is listed and counted as parsing it does.
void ListEmptyLines(Assembly& a, uint32_t start, uint32_t count)
{
    const char* at = a.source.data() + start;
    for (uint32_t i = 0; i < count; ++i) {
        const char* end = static_cast<const char*>(memchr(at, '\n', a.source.data() + a.source.size() - at)) + 1;
        if (CollectingListingText(a))
            a.listingText.append(at, static_cast<size_t>(end - at));
        ListStatement(a);
        FinishStatement(a);
        a.lastTokenText = std::string_view(end - 1, 1);
        at = end;
    }
}

void Commit(Assembly& a)
{
    for (const uint8_t value : a.pendingCode)
        a.codeStream.PutByte(a.codeFile, value);
    for (const uint8_t value : a.pendingData)
        a.dataStream.PutByte(a.dataFile, value);
    a.pendingCode.clear();
    a.pendingData.clear();
}

}  // namespace

Replay::Replay(Assembly& a) : a_(a)
{
    on_ = a.composeKeptLines && a.source.size() < UINT32_MAX && a.pass == 2 && a.exitStatus == 0
          && !a.undefinedAfterPass1 && !a.dataSegment && a.lastLabel.empty();
}

bool Replay::Next()
{
    if (!on_)
        return false;
    const std::vector<KeptLine>& lines = a_.log.Lines();
    if (next_ >= lines.size() || a_.exitStatus != 0) {
        Stop(next_);
        return false;
    }
    const size_t index = next_++;
    const KeptLine& line = lines[index];
    switch (TryLine(index)) {
    case Outcome::Composed:
        return true;
    case Outcome::ParseAfterLabel:
        PositionScanner(a_, line.start + line.labelLength, false);
        return false;
    case Outcome::ParseLine:
        if (a_.scanOffset != line.start)
            PositionScanner(a_, line.start, true);
        return false;
    }
    return false;
}

// From here on every line is parsed, from where the kept lines left off.
void Replay::Stop(size_t index)
{
    on_ = false;
    const std::vector<KeptLine>& lines = a_.log.Lines();
    const uint32_t offset = index < lines.size() ? lines[index].start : (lines.empty() ? 0 : a_.log.EndOf(index - 1));
    if (a_.scanOffset != offset)
        PositionScanner(a_, offset, true);
}

Replay::Outcome Replay::TryLine(size_t index)
{
    Assembly& a = a_;
    const KeptLine& line = a.log.Lines()[index];
    if (!line.repeatable || (line.composedNames && a.options.listing))
        return Outcome::ParseLine;
    // Where the scanner stands is no longer where it will go on.
    ReleaseScanner(a);
    a.scanOffset = UINT32_MAX;
    const char* text = a.source.data();
    if (line.labelLength > 0) {
        const std::string_view label(text + line.start, line.labelLength);
        NoteToken(a, label);
        LabelToken(a, label, line.localLabel, !a.dataSegment);
        if (a.exitStatus != 0)
            return Outcome::ParseAfterLabel;
    }
    if (line.kind == LineKind::Nothing && line.labelLength == 0) {
        ListEmptyLines(a, line.start, line.count);
        return Outcome::Composed;
    }
    const uint64_t codeBytes = a.codeBytes;
    const uint64_t dataBytes = a.dataBytes;
    a.trial = true;
    try {
        if (line.kind == LineKind::Instruction) {
            ComposeKeptInstruction(a, line);
        } else if (line.kind == LineKind::Data) {
            ComposeData(a, line);
        }
        CheckStatement(a);
    } catch (const TrialFailed&) {
        a.trial = false;
        a.codeBytes = codeBytes;
        a.dataBytes = dataBytes;
        a.pendingCode.clear();
        a.pendingData.clear();
        ClearLine(a);
        return line.labelLength > 0 ? Outcome::ParseAfterLabel : Outcome::ParseLine;
    }
    a.trial = false;
    Commit(a);
    // The listing text is the line as written, after the label as composed.
    const uint32_t from = line.start + line.labelLength;
    const uint32_t end = a.log.EndOf(index);
    if (CollectingListingText(a)) {
        const uint32_t listed = line.kind == LineKind::Data ? line.start + line.listed : end;
        a.listingText.append(text + from, listed - from);
        if (line.kind == LineKind::Data)
            ListDataList(a);
        a.listingText.append(text + listed, end - listed);
    }
    ListStatement(a);
    FinishStatement(a);
    // The line's last token was its line end.
    a.lastTokenText = std::string_view(text + end - 1, 1);
    return Outcome::Composed;
}

}  // namespace zernasm
