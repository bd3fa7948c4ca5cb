// Form controls: INPUT, SELECT and TEXTAREA become control objects of their
// form, standing in the open section.
#include "builder/document_builder_state.h"

#include "builder/control_content.h"
#include "layout/form_control.h"
#include "layout/inline_image.h"
#include "layout/section_list.h"
#include "layout/text_section.h"

namespace lumo {

namespace {

// A SELECT with MULTIPLE or a SIZE above 1 is a list; any other drops down.
TControlKind SelectKind(const TAttributeList& attributes) {
    if (attributes.Find(MultipleTok)) return TControlKind::ListBox;
    const TAttribute* size = attributes.Find(SizeTok);
    return size && size->Value > 1 ? TControlKind::ListBox : TControlKind::Combo;
}

std::string_view TagOf(TokenKind tok) {
    return tok == SelectTok ? "select" : tok == TextAreaTok ? "textarea" : "input";
}

} // namespace

void THtmlBuilder::AddFormControl(TokenKind tok) {
    const TControlKind kind = tok == InputTok    ? InputKind(P.Attributes.Text(TypeTok))
                              : tok == SelectTok ? SelectKind(P.Attributes)
                                                 : TControlKind::TextArea;
    THtmlForm& form = ActiveForm ? *ActiveForm : RootList.ImplicitForm();
    const int source = P.TagIndex;
    TFormControl& control = RootList.AddFormControl(
        std::make_unique<TFormControl>(RootList, form, kind, P.Attributes, -1));
    form.AddControl(control);
    if (const TAttribute* id = P.Attributes.Find(IDTok); id && !id->Name.empty())
        RootList.IDs.AddObject(id->Name, &control);

    if (kind == TControlKind::Image) {
        EnsureSection();
        control.MyImage = &ActiveSection->AppendImage(P.Attributes, source);
        control.MyImage->FormControl = &control;
    } else if (kind != TControlKind::Hidden) {
        EnsureSection();
        control.ApplyStyle(Push(TagOf(tok)));
        PopFor(TagOf(tok));
        ActiveSection->AppendControl(control, source);
    }

    if (tok == SelectTok) {
        for (TSelectOption& option : ReadSelectOptions(P, [this] { Next(); }))
            control.AddOption(std::move(option.Text), std::move(option.Value), option.Selected);
        control.ResetValue();
    } else if (tok == TextAreaTok) {
        for (std::string& line : ReadTextAreaLines(P))
            control.AddInitialLine(std::move(line));
        control.ResetValue();
    }
}

} // namespace lumo
