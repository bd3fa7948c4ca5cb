// The frame entry points: is this a frameset, and the walk of its FRAMESETs.
#include "html/document_builder_state.h"

#include "html/style_list.h"

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
        P.IDs = nullptr;
        P.InPre = P.InScript = P.NoBreak = false;
        P.Begin(document);
        P.ReadNextChar();
        Next();
    }

    void SkipScript() { ReadScript(P, false); }

    void Script() {
        const TAttribute* name = P.Attributes.Find(NameTok);
        const TAttribute* language = P.Attributes.Find(LanguageTok);
        const std::string n = name ? name->Name : "", l = language ? language->Name : "";
        std::string script = ReadScript(P, static_cast<bool>(viewer_.OnScript));
        if (viewer_.OnScript) viewer_.OnScript(&viewer_, n, l, std::move(script));
    }

    void FrameSet(void* frameSet, const std::string& fName, int depth) {
        viewer_.ApplyFrameAttributes(frameSet, P.Attributes);
        Next();
        while (P.CurTok != FrameSetEndTok && P.CurTok != EofTok) {
            switch (P.CurTok) {
            case FrameSetTok:
                // Framesets nest as deep as blocks may, and no deeper.
                if (depth < MaxBlockDepth)
                    FrameSet(viewer_.FrameSetFound(frameSet), fName, depth + 1);
                break;
            case FrameTok:
                viewer_.FrameFound(frameSet, P.Attributes, fName);
                break;
            case NoFramesTok:
                SkipNoFrames();
                break;
            case ScriptTok:
                Script();
                break;
            default:
                break;
            }
            Next();
        }
        viewer_.FrameSetEnded(frameSet);
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

TParseResult ParseFrameDocument(TFrameViewerBase& viewer, void* topFrameSet,
                                const TLoadInput& input, const TMetaType& onMeta) {
    TParseResult result;
    std::string document;
    if (!LoadInput(input, document)) return result;
    try {
        ParserLock lock;
        HtmlTokenizer& p = lock.Parser();
        TFrameWalker walker(p, viewer);
        walker.Start(document);
        while (p.CurTok != EofTok && !FrameBodyContent()[p.CurTok]) {
            switch (p.CurTok) {
            case TitleTok:
                walker.Next();
                while (p.CurTok == TextTok) {
                    if (result.Title.size() < 4096) result.Title += p.Token.S;
                    walker.Next();
                }
                continue;
            case BaseTok:
                if (const TAttribute* href = p.Attributes.Find(HrefTok)) result.Base = href->Name;
                if (const TAttribute* target = p.Attributes.Find(TargetTok))
                    result.BaseTarget = target->Name;
                break;
            case MetaTok:
                if (onMeta) {
                    auto text = [&](TokenKind k) {
                        const TAttribute* a = p.Attributes.Find(k);
                        return a ? a->Name : std::string();
                    };
                    onMeta(&viewer, text(HttpEqTok), text(NameTok), text(ContentTok));
                }
                break;
            case BgSoundTok:
                if (const TAttribute* src = p.Attributes.Find(SrcTok);
                    src && viewer.OnSoundRequest) {
                    const TAttribute* loop = p.Attributes.Find(LoopTok);
                    viewer.OnSoundRequest(&viewer, src->Name, loop ? loop->Value : 1, false);
                }
                break;
            case ScriptTok:
                walker.Script();
                break;
            case NoFramesTok:
                walker.SkipNoFrames();
                break;
            case FrameSetTok:
                walker.FrameSet(topFrameSet, input.FName, 0);
                break;
            default:
                break;
            }
            walker.Next();
        }
    } catch (...) {
        // The frames reported so far stay.
    }
    return result;
}

} // namespace lumo
