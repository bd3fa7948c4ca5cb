#include "layout/html_form.h"

#include "html/attributes.h"
#include "layout/form_control.h"
#include "platform/text.h"

namespace lumo {

namespace {

constexpr size_t MaxMethod = 4;

} // namespace

THtmlForm::THtmlForm(TSectionList& root, const TAttributeList* attributes) : Root(&root) {
    if (!attributes) return;
    if (const TAttribute* method = attributes->Find(MethodTok); method && !method->Name.empty())
        Method = method->Name.substr(0, MaxMethod);
    Action = attributes->Text(ActionTok);
    Target = attributes->Text(TargetTok);
    EncType = attributes->Text(EncTypeTok);
}

void THtmlForm::AddControl(TFormControl& control) {
    Controls.push_back(&control);
    if (control.Kind != TControlKind::Hidden) ++VisibleCount;
}

void THtmlForm::ResetControls() {
    for (TFormControl* control : Controls)
        control->ResetValue();
}

std::vector<TFormControl*> THtmlForm::UncheckOtherRadios(const TFormControl& radio) {
    std::vector<TFormControl*> changed;
    for (TFormControl* control : Controls)
        if (control != &radio && control->Kind == TControlKind::Radio && control->Checked &&
            SameText(control->Name, radio.Name)) {
            control->Checked = false;
            changed.push_back(control);
        }
    return changed;
}

TFormSubmission THtmlForm::Submit(const std::string& buttonPair) {
    TFormSubmission submission{Action, Target, EncType, Method, {}};
    for (TFormControl* control : Controls)
        control->GetSubmission(submission.Results);
    if (!buttonPair.empty()) submission.Results.push_back(buttonPair);
    return submission;
}

} // namespace lumo
