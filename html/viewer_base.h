// The viewer that runs a parse: a document viewer or a frame viewer. The
// engine cannot name the widgets, so they derive from this, and the engine
// hands it on as the sender of the events a parse raises (includes, sounds,
// META tags, scripts); a handler that needs the widget casts it back.
#pragma once

namespace lumo {

class TViewerBase {
public:
    virtual ~TViewerBase() = default;

protected:
    TViewerBase() = default;
    TViewerBase(const TViewerBase&) = default;
    TViewerBase& operator=(const TViewerBase&) = default;
};

} // namespace lumo
