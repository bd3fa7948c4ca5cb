// The frame entry points: is this a frameset, and the walk of its FRAMESETs.
#include "builder/document_builder_state.h"

#include "html/style_list.h"
#include "platform/stream.h"

namespace lumo {

namespace {

// A frame walk shares nothing with a document parse but the tokenizer.
class TFrameWalker {
public:
    TFrameWalker(HtmlTokenizer& parser, TFrameViewerBase& viewer) : P(parser), viewer_(viewer) {}

    // A frameset's sheets style nothing; they are read only to be passed over.
    void Next() { P.NextTokenReadingStyles(sheets_); }

    void SkipNoFrames() {
        while (P.CurTok != NoFramesEndTok && P.CurTok != EofTok)
            Next();
    }

    // A clean tokenizer at the first token of document.
    void Start(std::string_view document) {
        P.CallerObject = &viewer_;
        P.OnInclude = viewer_.OnInclude;
        P.OnID = nullptr;
        P.InPre = P.InScript = P.NoBreak = false;
        P.Begin(document);
        P.ReadNextChar();
        Next();
    }

    void SkipScript() { ReadScript(P, TScriptText::Skip); }

    void Script() { RunScript(P, viewer_.OnScript, &viewer_); }
    std::string Title() { return ReadTitle(P, sheets_); }

    // A null set reads its content without reporting it.
    void FrameSet(TFrameSetHooks* frameSet, const std::string& fName, int depth) {
        if (frameSet) frameSet->ApplyFrameAttributes(P.Attributes);
        Next();
        while (P.CurTok != FrameSetEndTok && P.CurTok != EofTok) {
            switch (P.CurTok) {
            case FrameSetTok:
                // Framesets nest as deep as blocks may, and no deeper.
                if (depth < MaxBlockDepth)
                    FrameSet(frameSet ? frameSet->FrameSetFound() : nullptr, fName, depth + 1);
                break;
            case FrameTok:
                if (frameSet) frameSet->FrameFound(P.Attributes, fName);
                break;
            case NoFramesTok: SkipNoFrames(); break;
            case ScriptTok: Script(); break;
            default: break;
            }
            Next();
        }
        if (frameSet) frameSet->FrameSetEnded();
    }

    HtmlTokenizer& P;

private:
    TFrameViewerBase& viewer_;
    TStyleList sheets_;
};

} // namespace

bool IsFrameDocument(const TLoadInput& input, TFrameViewerBase& viewer) {
    std::string document;
    if (!LoadInput(input, document)) return false;
    try {
        ParserLock lock;
        HtmlTokenizer& p = lock.Parser();
        TFrameWalker walker(p, viewer);
        walker.Start(document);
        while (p.CurTok != EofTok) {
            if (p.CurTok == FrameSetTok) return true;
            if (FrameBodyContent()[p.CurTok]) return false;
            if (p.CurTok == ScriptTok) walker.SkipScript();
            walker.Next();
        }
    } catch (...) {
    }
    return false;
}

TParseResult ParseFrameDocument(TFrameViewerBase& viewer, TFrameSetHooks* topFrameSet,
                                const TLoadInput& input, const TMetaType& onMeta) {
    TParseResult result;
    std::string document;
    if (!LoadInput(input, document)) return result;
    // The frameset's own text (its title) is in the code page the server or
    // a META names; each frame's document names its own.
    const auto served = input.Stream ? DeclaredCharset(input.Stream->Charset) : std::nullopt;
    const bool serverCharset = served.has_value();
    if (served) result.CodePage = served->Page;
    try {
        ParserLock lock;
        HtmlTokenizer& p = lock.Parser();
        TFrameWalker walker(p, viewer);
        walker.Start(document);
        while (p.CurTok != EofTok && !FrameBodyContent()[p.CurTok]) {
            switch (p.CurTok) {
            case TitleTok: result.Title = walker.Title(); continue;
            case BaseTok: ReadBase(p.Attributes, result); break;
            case MetaTok:
                if (const auto declared = ReportMeta(p.Attributes, onMeta, &viewer);
                    declared && !serverCharset)
                    result.CodePage = declared->Page;
                break;
            case BgSoundTok: RequestSound(p.Attributes, viewer.OnSoundRequest, &viewer); break;
            case ScriptTok: walker.Script(); break;
            case NoFramesTok: walker.SkipNoFrames(); break;
            case FrameSetTok: walker.FrameSet(topFrameSet, input.FName, 0); break;
            default: break;
            }
            walker.Next();
        }
    } catch (...) {
        // The frames reported so far stay.
    }
    return result;
}

} // namespace lumo
