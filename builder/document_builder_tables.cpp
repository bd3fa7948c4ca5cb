// TABLE: rows, cells and captions read in document order into a
// TTableBlock. Text that strays between cells goes before the table; the
// grid itself is put right by the table before its first layout.
#include "builder/document_builder_state.h"

#include "layout/section_list.h"
#include "layout/table_block.h"
#include "platform/text.h"

namespace lumo {

namespace {

TCellVAlign VAlignOf(const TAttributeList& attributes, TCellVAlign fallback) {
    static const struct {
        std::string_view Name;
        TCellVAlign Align;
    } names[] = {{"top", TCellVAlign::Top},
                 {"baseline", TCellVAlign::Top},
                 {"middle", TCellVAlign::Middle},
                 {"bottom", TCellVAlign::Bottom}};
    const TAttribute* a = attributes.Find(VAlignTok);
    if (!a) return fallback;
    const std::string value = LowerCase(Trim(a->Name));
    for (const auto& n : names)
        if (value == n.Name) return n.Align;
    return fallback;
}

class TTableReader {
public:
    explicit TTableReader(THtmlBuilder& builder) : b_(builder), P(builder.P) {}

    void Read() {
        Start();
        // The table, its rows and the open cell are this reader's until the
        // table is closed, while the builder fills the open cell. A parse
        // that ends inside the table (an unclosed comment throws) closes it
        // first: the table joins the document with what it read, and the
        // builder is back in the cell around it before the reader goes.
        try {
            b_.Next();
            while (b_.Cur() != TableEndTok && b_.Cur() != EofTok)
                ReadToken(b_.Cur());
        } catch (...) {
            Close();
            throw;
        }
        Close();
        b_.Next();
    }

private:
    int StackTop() const { return b_.Stack->PropStackTop(); }
    void PopTo(int top) {
        while (StackTop() > top)
            b_.Stack->PopProps();
    }
    void EndAnchorIfOpen() {
        if (b_.InsideLink) b_.EndAnchor();
    }
    // Pushes an entry for tag; the entry, or null when the stack is full.
    TProperties* PushEntry(std::string_view tag, bool plain = false) {
        const int before = StackTop();
        TProperties& props = plain ? b_.PushPlain(tag) : b_.Push(tag);
        return StackTop() > before ? &props : nullptr;
    }

    void Start() {
        EndAnchorIfOpen();
        b_.FinishSection();
        outer_ = b_.ActiveCell;
        noBreak_ = P.NoBreak;
        tableBase_ = StackTop();
        TProperties* props = PushEntry("table");
        const std::string align = LowerCase(Trim(P.Attributes.Text(AlignTok)));
        AlignmentType side;
        if (props) {
            // Cells take their own alignment unless a row gives one.
            if (!props->Assigned[Prop::TextAlign]) props->Props.Set(Prop::TextAlign, "none");
            if ((align == "left" || align == "right") && !props->GetFloat(side))
                props->Props.Set(Prop::Float, align);
        }
        block_ =
            std::make_unique<TTableBlock>(b_.RootList, *outer_, b_.Stack->TopProps(), P.Attributes);
        table_ = block_->Table;
        outerWidening_ = b_.TableWidening;
        table_->WidenForPercents = outerWidening_;
        block_->Centered = block_->FloatSide == ANone && (align == "center" || InsideCenter());
    }

    bool InsideCenter() const {
        for (const auto& entry : *b_.Stack)
            if (entry->PropTag == "center") return true;
        return false;
    }

    void ReadToken(TokenKind tok) {
        switch (tok) {
        case TDTok:
        case THTok: ReadCell(tok); break;
        case TDEndTok:
        case THEndTok:
            FinishCell();
            b_.Next();
            break;
        case TRTok: StartRow(); break;
        case TREndTok:
            EndAnchorIfOpen();
            EndRow();
            b_.Next();
            break;
        case CaptionTok: ReadCaption(); break;
        case TextTok: ReadStrayText(); break;
        default: b_.Next(); break;
        }
    }

    // Text between cells is placed before the table.
    void ReadStrayText() {
        b_.ActiveCell = outer_;
        b_.ParseBody(TableCellTerminators());
        b_.FinishSection();
        b_.ActiveCell = outer_;
    }

    void ReadCell(TokenKind tok) {
        EndAnchorIfOpen();
        P.NoBreak = P.Attributes.Find(NoWrapTok) != nullptr;
        if (row_) {
            FinishCell();
            PopTo(rowBase_ + 1);
        } else {
            rowBase_ = StackTop();
            PushEntry("tr", true);
            row_ = std::make_unique<TTableRow>();
            rowAlign_ = TCellVAlign::Middle;
        }
        TProperties* props = PushEntry(tok == TDTok ? "td" : "th");
        cellBase_ = StackTop();
        if (props) {
            b_.ApplyAlign(*props);
            const std::string* a = props->Text(Prop::TextAlign);
            if (!a || *a == "none")
                props->Props.Set(Prop::TextAlign, tok == TDTok ? "left" : "center");
        }
        cell_ = std::make_unique<TTableCell>(b_.RootList, P.Attributes,
                                             VAlignOf(P.Attributes, rowAlign_));
        if (props) cell_->TakeStyle(*props);
        b_.TableWidening = WideningInside(*cell_);
        b_.ActiveCell = &cell_->Cell;
        P.SkipWhiteSpace();
        b_.Next();
        b_.ParseBody(TableCellTerminators());
    }

    // A table in a cell sized by its content, one without a pixel WIDTH in a
    // table without WIDTH or spanning columns, stays as narrow as its own
    // content; in any other cell it does as the table around it does.
    TWidenForPercents WideningInside(const TTableCell& cell) const {
        const bool pixelWidth = cell.SpecWd > 0 && !cell.SpecWdPercent;
        if (!pixelWidth && (block_->WidthAttr == 0 || cell.ColSpan > 1))
            return TWidenForPercents::No;
        return table_->WidenForPercents;
    }

    // The open cell, if any, joins the open row; what follows goes before
    // the table until the next cell opens.
    void FinishCell() {
        if (cell_) {
            // What the cell leaves open ends with it: a box of an inline
            // element gets its right edge inside the cell.
            PopTo(cellBase_);
            b_.CloseInlineBoxes();
        }
        b_.FinishSection();
        if (cell_ && row_) THtmlTable::AddCell(*row_, std::move(cell_));
        cell_.reset();
        b_.ActiveCell = outer_;
    }

    void EndRow() {
        if (!row_) return;
        FinishCell();
        table_->AddRow(std::move(row_));
        PopTo(rowBase_);
    }

    void StartRow() {
        EndAnchorIfOpen();
        EndRow();
        rowBase_ = StackTop();
        TProperties* props = PushEntry("tr");
        if (props) b_.ApplyAlign(*props);
        row_ = std::make_unique<TTableRow>(P.Attributes);
        if (props) row_->TakeStyle(*props);
        rowAlign_ = VAlignOf(P.Attributes, TCellVAlign::Middle);
        b_.Next();
    }

    void ReadCaption() {
        EndAnchorIfOpen();
        P.NoBreak = false;
        FinishCell();
        if (const TAttribute* a = P.Attributes.Find(AlignTok))
            table_->CaptionOnTop = LowerCase(Trim(a->Name)) != "bottom";
        b_.ActiveCell = &table_->Caption;
        const int base = StackTop();
        if (TProperties* props = PushEntry("caption")) {
            const std::string* a = props->Text(Prop::TextAlign);
            if (!a || *a == "none") props->Props.Set(Prop::TextAlign, "center");
        }
        b_.Next();
        b_.ParseBody(TableCellTerminators());
        b_.FinishSection();
        PopTo(base);
        b_.ActiveCell = outer_;
        if (b_.Cur() == CaptionEndTok) b_.Next();
    }

    // The open cell and row end, and the table joins the cell it stands in.
    void Close() {
        EndAnchorIfOpen();
        FinishCell();
        EndRow();
        PopTo(tableBase_);
        b_.ActiveCell = outer_;
        outer_->AddItem(std::move(block_));
        P.NoBreak = noBreak_;
        b_.TableWidening = outerWidening_;
    }

    THtmlBuilder& b_;
    HtmlTokenizer& P;
    TCellBasic* outer_ = nullptr;
    bool noBreak_ = false;
    TWidenForPercents outerWidening_ = TWidenForPercents::Yes;
    int tableBase_ = 0; // the stack's top before the table's entry
    std::unique_ptr<TTableBlock> block_;
    THtmlTable* table_ = nullptr;
    std::unique_ptr<TTableRow> row_;
    int rowBase_ = 0; // the stack's top before the open row's entry
    TCellVAlign rowAlign_ = TCellVAlign::Middle;
    std::unique_ptr<TTableCell> cell_;
    int cellBase_ = 0; // the stack's top with the open cell's entry
};

} // namespace

void THtmlBuilder::ParseTable() {
    // Tables nested deeper than this are passed over: their cells read as
    // the content of the cell around them.
    if (TableDepth >= MaxTableDepth || DeepEnough()) {
        Next();
        return;
    }
    TDepthGuard guard(*this);
    ++TableDepth;
    TTableReader(*this).Read();
    --TableDepth;
}

} // namespace lumo
