// One FORM of a document: its attributes, its controls in document order,
// and the steps that act on all of them (reset, radio groups, submission).
// Controls outside any FORM join an implicit form of the document.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lumo {

class TAttributeList;
class TFormControl;
class TSectionList;

// What a submission hands on: the form's attributes and the results, each
// "name=value" unencoded. Held by value so queued submissions never share.
struct TFormSubmission {
    std::string Action, Target, EncType, Method;
    std::vector<std::string> Results;
};

class THtmlForm {
public:
    // A FORM's attributes; null for the implicit form.
    THtmlForm(TSectionList& root, const TAttributeList* attributes);

    TSectionList* Root;
    std::string Method = "Get"; // as written, at most 4 characters
    std::string Action, Target, EncType;
    std::vector<TFormControl*> Controls; // owned by the root, document order
    int VisibleCount = 0;                // controls that are not hidden

    void AddControl(TFormControl& control);
    void ResetControls();
    // Unchecks the other radio buttons of radio's group (same name, any case).
    // Returns the controls whose state changed.
    std::vector<TFormControl*> UncheckOtherRadios(const TFormControl& radio);
    // The results of every control in document order, then the pressed
    // button's "name=value" when there is one.
    TFormSubmission Submit(const std::string& buttonPair = {});
};

} // namespace lumo
