// Form controls as the document keeps them: what each kind sends, sizes
// from the markup, reset, the implicit form, and the picture a
// printed page gets.
#include "layout/form_control.h"
#include "layout/html_form.h"

#include "tests/support/layout_fixture.h"

#include <gtest/gtest.h>

namespace lumo::test {
namespace {

// Submits the form of the control named by (or, for "", the first one).
TFormSubmission SubmitWith(Doc& doc, std::string_view name = "") {
    TFormSubmission sent;
    doc.list.OnFormSubmit = [&](TFormSubmission s) { sent = std::move(s); };
    for (const auto& control : doc.list.FormControls)
        if (name.empty() || control->Name == name) {
            doc.list.SubmitForm(*control);
            break;
        }
    return sent;
}

TFormControl& Control(Doc& doc, std::string_view name) {
    for (const auto& control : doc.list.FormControls)
        if (control->Name == name) return *control;
    throw std::runtime_error("no control " + std::string(name));
}

using Results = std::vector<std::string>;

TEST(FormResults, EachKindSendsWhatItHolds) {
    struct Row {
        const char* html;
        const char* submitter; // the control that submits ("" the first)
        Results expected;
    };
    const Row rows[] = {
        {"<INPUT NAME=q VALUE=\"a b\">", "", {"q=a b"}},
        {"<INPUT TYPE=password NAME=pw VALUE=s>", "", {"pw=s"}},
        {"<INPUT TYPE=FILE NAME=up>", "", {"up="}}, // the chosen file's name, once chosen
        {"<INPUT TYPE=hidden NAME=h VALUE=1><INPUT NAME=q>", "q", {"h=1", "q="}},
        {"<INPUT TYPE=checkbox NAME=c CHECKED><INPUT TYPE=checkbox NAME=d>", "", {"c=on"}},
        {"<INPUT TYPE=checkbox NAME=c VALUE=yes CHECKED>", "", {"c=yes"}},
        {"<INPUT TYPE=radio NAME=r VALUE=1><INPUT TYPE=radio NAME=r VALUE=2 CHECKED>", "", {"r=2"}},
        // The pressed button's pair goes last; other buttons send nothing.
        {"<INPUT TYPE=submit NAME=go VALUE=Search><INPUT NAME=q VALUE=x>"
         "<INPUT TYPE=submit NAME=other VALUE=No>",
         "go",
         {"q=x", "go=Search"}},
        {"<INPUT TYPE=submit VALUE=Search><INPUT NAME=q VALUE=x>", "", {"q=x"}},
        {"<INPUT TYPE=reset NAME=r><INPUT TYPE=button NAME=b VALUE=B>", "", {}},
        // A single select sends its first option when none is selected.
        {"<SELECT NAME=s><OPTION>one<OPTION>two</SELECT>", "", {"s=one"}},
        {"<SELECT NAME=s><OPTION SELECTED>one<OPTION VALUE=2 SELECTED>two</SELECT>", "", {"s=2"}},
        {"<SELECT NAME=m MULTIPLE><OPTION SELECTED>a<OPTION>b<OPTION SELECTED VALUE=C>c</SELECT>",
         "",
         {"m=a", "m=C"}},
        {"<SELECT NAME=m MULTIPLE><OPTION>a</SELECT>", "", {}},
        {"<TEXTAREA NAME=t>one\ntwo</TEXTAREA>", "", {"t=one\r\ntwo"}},
        // Wrapping changes how lines show, not what the user wrote.
        {"<TEXTAREA NAME=t WRAP=soft COLS=3>one long\ntwo</TEXTAREA>", "", {"t=one long\r\ntwo"}},
        {"<INPUT NAME=a VALUE=1 DISABLED><INPUT NAME=b VALUE=2 READONLY>", "", {"b=2"}},
    };
    for (const Row& row : rows) {
        Doc doc(std::string("<FORM>") + row.html + "</FORM>");
        EXPECT_EQ(SubmitWith(doc, row.submitter).Results, row.expected) << row.html;
    }
}

TEST(FormResults, FormAttributesGoWithTheResults) {
    Doc doc("<FORM ACTION=/find TARGET=main><INPUT NAME=q></FORM>"
            "<FORM METHOD=post ENCTYPE=x><INPUT NAME=p></FORM>");
    const TFormSubmission get = SubmitWith(doc, "q");
    EXPECT_EQ(get.Method, "Get");
    EXPECT_EQ(get.Action, "/find");
    EXPECT_EQ(get.Target, "main");
    const TFormSubmission post = SubmitWith(doc, "p");
    EXPECT_EQ(post.Method, "post");
    EXPECT_EQ(post.EncType, "x");
    EXPECT_EQ(post.Results, Results{"p="});
}

TEST(FormResults, ImageButtonSendsItsPointOnce) {
    Doc doc("<FORM><INPUT NAME=q VALUE=v><INPUT TYPE=image NAME=pic SRC=a.gif WIDTH=20 "
            "HEIGHT=20><INPUT TYPE=image SRC=b.gif></FORM>");
    TFormControl& pic = Control(doc, "pic");
    ASSERT_NE(pic.MyImage, nullptr);
    EXPECT_EQ(pic.MyImage->FormControl, &pic);
    pic.ClickX = 5;
    pic.ClickY = 7;
    EXPECT_EQ(SubmitWith(doc, "pic").Results, (Results{"q=v", "pic.x=5", "pic.y=7"}));
    EXPECT_EQ(SubmitWith(doc, "pic").Results, Results{"q=v"});
    TFormControl& unnamed = *doc.list.FormControls.back();
    unnamed.ClickX = unnamed.ClickY = 1;
    EXPECT_EQ(SubmitWith(doc, "q").Results, (Results{"q=v", "x=1", "y=1"}));
}

TEST(FormModel, CountsOutsideOneToThousandTakeTheDefault) {
    struct Row {
        const char* html;
        int editSize, rows, cols, listLines;
    };
    const Row rows[] = {
        {"<INPUT SIZE=1><TEXTAREA ROWS=1 COLS=1></TEXTAREA><SELECT SIZE=1 MULTIPLE>"
         "<OPTION>a<OPTION>b</SELECT>",
         1, 1, 1, 1},
        {"<INPUT SIZE=1000><TEXTAREA ROWS=1000 COLS=1000></TEXTAREA><SELECT SIZE=1000>"
         "<OPTION>a</SELECT>",
         1000, 1000, 1000, 1000},
        {"<INPUT SIZE=0><TEXTAREA ROWS=0 COLS=0></TEXTAREA><SELECT SIZE=0 MULTIPLE>"
         "<OPTION>a<OPTION>b</SELECT>",
         20, 5, 30, 2},
        {"<INPUT SIZE=1001><TEXTAREA ROWS=1001 COLS=99999999999></TEXTAREA>"
         "<SELECT SIZE=1001 MULTIPLE><OPTION>a</SELECT>",
         20, 5, 30, 1},
        {"<INPUT SIZE=\"12,1\"><TEXTAREA ROWS=x COLS=-3></TEXTAREA><SELECT MULTIPLE>"
         "<OPTION>1<OPTION>2<OPTION>3<OPTION>4<OPTION>5<OPTION>6<OPTION>7<OPTION>8<OPTION>9"
         "</SELECT>",
         12, 5, 30, 8},
    };
    for (const Row& row : rows) {
        Doc doc(row.html);
        auto& c = doc.list.FormControls;
        ASSERT_EQ(c.size(), 3u) << row.html;
        EXPECT_EQ(c[0]->EditSize, row.editSize) << row.html;
        EXPECT_EQ(c[1]->Rows, row.rows) << row.html;
        EXPECT_EQ(c[1]->Cols, row.cols) << row.html;
        EXPECT_EQ(c[2]->VisibleLines(), row.listLines) << row.html;
    }
}

TEST(FormModel, ResetRestoresWhatTheMarkupGave) {
    Doc doc("<FORM><INPUT NAME=q VALUE=start><INPUT TYPE=checkbox NAME=c CHECKED>"
            "<SELECT NAME=s><OPTION>a<OPTION SELECTED>b</SELECT>"
            "<TEXTAREA NAME=t>x</TEXTAREA></FORM>");
    Control(doc, "q").Text = "typed";
    Control(doc, "c").Checked = false;
    Control(doc, "s").Chosen = {1, 0};
    Control(doc, "t").Text = "changed";
    doc.list.Forms.front()->ResetControls();
    EXPECT_EQ(SubmitWith(doc).Results, (Results{"q=start", "c=on", "s=b", "t=x"}));
}

TEST(FormModel, ControlsOutsideAnyFormShareTheImplicitForm) {
    Doc doc("<INPUT NAME=a VALUE=1><FORM><INPUT NAME=f></FORM><P><INPUT NAME=b VALUE=2>"
            "<TABLE><TR><TD><INPUT TYPE=checkbox NAME=c CHECKED></TABLE>");
    ASSERT_EQ(doc.list.Forms.size(), 2u);
    EXPECT_EQ(Control(doc, "a").MyForm, Control(doc, "b").MyForm);
    EXPECT_NE(Control(doc, "a").MyForm, Control(doc, "f").MyForm);
    Control(doc, "a").Text = "x";
    Control(doc, "a").MyForm->ResetControls();
    EXPECT_EQ(SubmitWith(doc, "b").Results, (Results{"a=1", "b=2", "c=on"}));
}

TEST(FormModel, ControlsTakeTheirBoxOnTheLine) {
    Doc doc("<P>Name <INPUT NAME=q SIZE=10> <INPUT TYPE=checkbox NAME=c> end");
    const TFormControl& q = Control(doc, "q");
    const TFormControl& c = Control(doc, "c");
    EXPECT_GT(q.BoxWidth, 10 * 6);
    EXPECT_EQ(c.BoxWidth, 13);
    EXPECT_EQ(c.BoxHeight, 13);
    // Side by side on one line, in text order, after the word before them.
    EXPECT_EQ(q.PaintTop + q.BoxHeight, c.PaintTop + c.BoxHeight);
    EXPECT_GT(q.LeftX, 10);
    EXPECT_GE(c.LeftX, q.LeftX + q.BoxWidth);
    TSection* s = SectionWith(doc.list, "Name");
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->LineList.size(), 1u);
    EXPECT_GE(s->LineList[0].Height(), q.BoxHeight);
}

TEST(FormModel, SideMarginsSpaceTheControlOnItsLine) {
    struct Row {
        const char* style;
        int left, right;
    };
    const Row rows[] = {
        {"margin-left:12px; margin-right:7px", 12, 7},
        {"margin: 3px", 3, 3},
        {"margin-left:-5px; margin-right:2em", 0, 32}, // 12-point text: an em is 16 pixels
        {"margin-left:50%; margin-top:40px", 0, 0},
        {"margin-left:1000px", 1000, 0},
        {"margin-left:1001px", 1000, 0},
    };
    for (const Row& row : rows) {
        const std::string style = row.style;
        Doc doc("<STYLE>INPUT.m {" + style +
                    "}</STYLE><P><INPUT NAME=a SIZE=3>"
                    "<INPUT CLASS=m NAME=b SIZE=3><INPUT NAME=c SIZE=3>",
                3000);
        const TFormControl& a = Control(doc, "a");
        const TFormControl& b = Control(doc, "b");
        const TFormControl& c = Control(doc, "c");
        EXPECT_EQ(b.LeftX, a.LeftX + a.BoxWidth + row.left) << style;
        EXPECT_EQ(c.LeftX, b.LeftX + b.BoxWidth + row.right) << style;
        EXPECT_EQ(b.PaintTop, a.PaintTop) << style; // top and bottom margins do not move it
    }
}

TEST(FormModel, PrintedPagesShowTheCurrentValues) {
    Doc doc("<FORM><INPUT NAME=q VALUE=start><INPUT TYPE=password NAME=p VALUE=abc>"
            "<INPUT TYPE=submit VALUE=Go><INPUT TYPE=file NAME=f></FORM>");
    Control(doc, "q").Text = "typed";
    Control(doc, "f").Text = "/home/me/notes.txt";
    Doc copy("");
    copy.list.CopyForPrinting(doc.list);
    copy.LayOut(600);
    ASSERT_EQ(copy.list.FormControls.size(), doc.list.FormControls.size());
    const std::string log = copy.Paint(0, 200);
    EXPECT_NE(log.find("\"typed\""), std::string::npos) << log;
    EXPECT_EQ(log.find("\"start\""), std::string::npos) << log;
    EXPECT_NE(log.find("\"***\""), std::string::npos) << log;
    EXPECT_NE(log.find("\"Go\""), std::string::npos) << log;
    EXPECT_NE(log.find("\"/home/me/notes.txt\""), std::string::npos) << log;
    EXPECT_NE(log.find("\"Browse...\""), std::string::npos) << log;
    // On screen the widgets show the controls: nothing of them is drawn.
    EXPECT_EQ(doc.Paint(0, 200).find("\"typed\""), std::string::npos);
}

} // namespace
} // namespace lumo::test
