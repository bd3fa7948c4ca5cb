// The document builder: turns the token stream into the layout model (a
// TSectionList) in document order, keeping the property stack in step with
// the element nesting. Markup is never rejected: stray tokens are skipped or
// end the open construct, and what was built is kept even when the parse
// ends early. Frame documents have two entry points that build nothing: one
// asks whether a document is a frameset, one walks its FRAMESET tree.
//
// Every entry point starts from a fresh builder state, so nothing of one
// parse (open links, fonts, forms, the nesting depth) leaks into the next.
#pragma once

#include "html/attributes.h"
#include "html/tokenizer.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace lumo {

class TSectionList;
class TStream;

// BGSOUND: the viewer, the sound's address, its loop count, and false.
using TSoundType =
    std::function<void(TViewerBase* sender, const std::string& src, int loop, bool terminate)>;
// SCRIPT: the viewer, NAME, LANGUAGE and the script's text.
using TScriptType = std::function<void(TViewerBase* sender, const std::string& name,
                                       const std::string& language, std::string script)>;
// META: the viewer, HTTP-EQUIV, NAME and CONTENT.
using TMetaType = std::function<void(TViewerBase* sender, const std::string& httpEq,
                                     const std::string& name, const std::string& content)>;

struct TBuilderHooks {
    TIncludeType OnInclude;
    TSoundType OnSoundRequest;
    TMetaType OnMeta;
    // True when the caller is a single-document viewer (META charsets apply).
    bool SingleViewer = true;
    // The character set the server named for the document; it wins over a
    // META's. A stream's own Charset is taken when this is empty.
    std::string Charset;
};

// What a parse reports besides the model.
struct TParseResult {
    std::string Title;
    std::string Base;
    std::string BaseTarget;
    // What the document's bytes (its title among them) are.
    TCodePage CodePage = TCodePage::Windows1252;
};

// The input of the frame entry points.
enum class TLoadMode { File, Strings, Buffer, Stream };
struct TLoadInput {
    TLoadMode Mode = TLoadMode::Buffer;
    std::string FName;                                 // File
    const std::vector<std::string>* Strings = nullptr; // Strings: their text, line by line
    const std::string_view* Buffer = nullptr;          // Buffer
    TStream* Stream = nullptr;                         // Stream: read whole from its start
};

// What the frame walk calls on the frameset it is inside, in document order:
// the FRAMESET's attributes, each FRAME (fName is the frameset document's
// file), each nested FRAMESET (the set that takes its content, or null to
// skip it), and the set's end. The frame viewer owns the sets.
class TFrameSetHooks {
public:
    virtual void ApplyFrameAttributes(const TAttributeList& attributes) = 0;
    virtual void FrameFound(const TAttributeList& attributes, const std::string& fName) = 0;
    virtual TFrameSetHooks* FrameSetFound() = 0;
    virtual void FrameSetEnded() = 0;

protected:
    ~TFrameSetHooks() = default;
};

// A frame viewer: the sender of the hooks the frame walk calls.
class TFrameViewerBase : public TViewerBase {
public:
    TIncludeType OnInclude;
    TSoundType OnSoundRequest;
    TScriptType OnScript;
};

// Inputs larger than this are read up to it.
inline constexpr size_t MaxDocumentSize = 64u << 20;

// The document entry points: the list is built into as it stands (the viewer
// resets it first).
TParseResult ParseHtmlBuffer(TSectionList& list, std::string_view buffer,
                             const TBuilderHooks& hooks = {});
TParseResult ParseHtmlFile(TSectionList& list, std::string_view fName,
                           const TBuilderHooks& hooks = {});
// A stream is read whole from its start.
TParseResult ParseHtmlStream(TSectionList& list, TStream& stream, const TBuilderHooks& hooks = {});
// Plain text: every line becomes a pre-formatted section.
void ParseTextFile(TSectionList& list, std::string_view fName);
void ParseTextStream(TSectionList& list, TStream& stream);
void ParseTextBuffer(TSectionList& list, std::string_view text);

// True when a FRAMESET comes before any body content.
bool IsFrameDocument(const TLoadInput& input, TFrameViewerBase& viewer);
// Walks the head and FRAMESET tree of a frameset document, calling the
// viewer's hooks; returns what the head said.
TParseResult ParseFrameDocument(TFrameViewerBase& viewer, TFrameSetHooks* topFrameSet,
                                const TLoadInput& input, const TMetaType& onMeta);

// The nesting depth beyond which block starts are read as plain text
// containers, so no nesting of markup can exhaust the stack.
inline constexpr int MaxBlockDepth = 256;

} // namespace lumo
