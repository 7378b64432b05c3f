// The node storage: children in blocks that never move, names shared among loaded nodes, short
// texts held in place and the rest of a load in its arena.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "xml/XmlDoc.h"

namespace wm {
namespace {

TEST(XmlNode, ChildrenKeepTheirOrderAndAddressesWhileMoreAreAdded) {
    TXmlNode parent(TXmlNodeType::Element);
    std::vector<const TXmlNode*> added;
    for (int i = 0; i < 5000; ++i) {
        TXmlNode& child = i % 3 ? parent.AddElement("e" + std::to_string(i))
                                : parent.AddChild(TXmlNodeType::Comment);
        child.SetValue(std::to_string(i));
        added.push_back(&child);
    }
    ASSERT_EQ(parent.ChildCount(), added.size());
    for (size_t i = 0; i < added.size(); ++i) {
        ASSERT_EQ(&parent.Child(i), added[i]) << i;
        EXPECT_EQ(parent.Child(i).Value(), std::to_string(i));
    }
    EXPECT_THROW(parent.Child(added.size()), std::out_of_range);
    parent.Clear();
    EXPECT_EQ(parent.ChildCount(), 0u);
    EXPECT_THROW(parent.Child(0), std::out_of_range);
    parent.AddChild(TXmlNodeType::CharData);
    EXPECT_EQ(parent.Child(0).Type(), TXmlNodeType::CharData);
}

TEST(XmlNode, ChangingOneLoadedElementLeavesItsNamesakesAlone) {
    TXmlDoc doc;
    doc.LoadFromBytes("<r><a/><a/><a>x</a><b><a/></b></r>");
    TXmlNode& root = *doc.Root();
    root.Child(0).SetName("renamed");
    root.Child(1).AddAttribute("k", "v");
    root.Child(1).SetAttribute("k", "w");
    root.Child(2).SetValue("");
    EXPECT_EQ(root.Child(0).Name(), "renamed");
    EXPECT_EQ(root.Child(1).Name(), "a");
    EXPECT_EQ(*root.Child(1).Attribute("k"), "w");
    EXPECT_EQ(root.Child(2).Name(), "a");
    EXPECT_TRUE(root.Child(2).Attributes().empty());
    EXPECT_EQ(root.Child(3).Child(0).Name(), "a");
    EXPECT_EQ(doc.SaveToString(), "<r><renamed/><a k=\"w\"/><a/><b><a/></b></r>");
}

TEST(XmlNode, LoadedChildrenCanStillBeAddedTo) {
    TXmlDoc doc;
    std::string bytes = "<r>";
    for (int i = 0; i < 100; ++i) bytes += "<i n='" + std::to_string(i) + "'/>";
    doc.LoadFromBytes(bytes + "</r>");
    TXmlNode& root = *doc.Root();
    const TXmlNode* first = &root.Child(0);
    TXmlNode& added = root.AddElement("i");
    added.AddElement("inner");
    EXPECT_EQ(&root.Child(0), first);
    ASSERT_EQ(root.ChildCount(), 101u);
    EXPECT_EQ(*root.Child(99).Attribute("n"), "99");
    EXPECT_EQ(root.Child(100).Child(0).Name(), "inner");
}

// Texts around the lengths that are held in place (six in a node, seven in a name or attribute).
const size_t kLengths[] = {0, 1, 6, 7, 8, 100};

std::string Text(size_t length, char c) {
    std::string text(length, c);
    for (size_t i = 0; i < length; ++i) text[i] = static_cast<char>(c + i % 7);
    return text;
}

TEST(XmlNode, ValuesKeepTheirTextWhateverElseChanges) {
    for (size_t length : kLengths) {
        for (size_t next : kLengths) {
            TXmlNode parent(TXmlNodeType::Element);
            TXmlNode& text = parent.AddChild(TXmlNodeType::CharData);
            text.SetValue(Text(length, 'a'));
            TXmlNode& element = parent.AddElement("e");
            element.SetValue(Text(length, 'b'));
            EXPECT_EQ(text.Value(), Text(length, 'a')) << length;
            EXPECT_EQ(text.Type(), TXmlNodeType::CharData);
            element.AddAttribute("k", Text(length, 'c'));
            element.AddChild(TXmlNodeType::Comment).SetValue(Text(next, 'd'));
            text.SetName("named");
            EXPECT_EQ(text.Value(), Text(length, 'a')) << length;
            EXPECT_EQ(text.Name(), "named");
            text.SetValue(Text(next, 'f'));
            element.SetValue(Text(next, 'g'));
            EXPECT_EQ(text.Value(), Text(next, 'f')) << length << " then " << next;
            EXPECT_EQ(element.Value(), Text(next, 'g')) << length << " then " << next;
            EXPECT_EQ(*element.Attribute("k"), Text(length, 'c'));
            EXPECT_EQ(element.Child(0).Value(), Text(next, 'd'));
            element.Clear();
            EXPECT_EQ(element.Name(), "e");
            EXPECT_EQ(element.Value(), "");
            EXPECT_TRUE(element.Attributes().empty());
            EXPECT_EQ(element.ChildCount(), 0u);
            EXPECT_EQ(element.Type(), TXmlNodeType::Element);
        }
    }
}

TEST(XmlNode, AttributesKeepTheirOrderAndTextsAsTheyGrow) {
    TXmlNode node(TXmlNodeType::Element);
    for (size_t i = 0; i < 100; ++i) {
        node.AddAttribute(Text(i % 12, 'a'), Text(i % 10, 'A'));
    }
    node.SetAttribute("abc", "replaced");  // the first of that name
    node.SetAttribute("new", "added");
    ASSERT_EQ(node.Attributes().size(), 101u);
    for (size_t i = 0; i < 100; ++i) {
        EXPECT_EQ(node.Attributes()[i].Name(), Text(i % 12, 'a')) << i;
        EXPECT_EQ(node.Attributes()[i].Value(), i == 3 ? "replaced" : Text(i % 10, 'A')) << i;
    }
    EXPECT_EQ(*node.Attribute("abcdefga"), Text(8, 'A'));
    EXPECT_EQ(*node.Attribute("new"), "added");
    EXPECT_FALSE(node.Attribute("none"));
    node.Clear();
    node.AddAttribute("again", "1");
    ASSERT_EQ(node.Attributes().size(), 1u);
    EXPECT_EQ(*node.Attribute("again"), "1");
}

TEST(XmlNode, LoadedNodesKeepTheirTypesNamesAndTexts) {
    const std::string longText(20000, 'L');  // more than the arena shares a chunk for
    const std::string bytes =
        "<r><a/><?a x?><!a y><a k=\"v\" longer-name=\"a longer value\"/><a>short</a>"
        "<a>a longer text</a>x<b/>123456<c/>1234567<!--c-->" +
        longText + "<d/></r>";
    TXmlDoc doc;
    doc.LoadFromBytes(bytes);
    const TXmlNode& r = *doc.Root();
    ASSERT_EQ(r.ChildCount(), 14u);
    const TXmlNodeType types[] = {
        TXmlNodeType::Element,  TXmlNodeType::Instruction, TXmlNodeType::Other,
        TXmlNodeType::Element,  TXmlNodeType::Element,     TXmlNodeType::Element,
        TXmlNodeType::CharData, TXmlNodeType::Element,     TXmlNodeType::CharData,
        TXmlNodeType::Element,  TXmlNodeType::CharData,    TXmlNodeType::Comment,
        TXmlNodeType::CharData, TXmlNodeType::Element};
    for (size_t i = 0; i < r.ChildCount(); ++i) EXPECT_EQ(r.Child(i).Type(), types[i]) << i;
    EXPECT_EQ(r.Child(1).Name(), "a");
    EXPECT_EQ(r.Child(2).Value(), " y");
    EXPECT_EQ(*r.Child(3).Attribute("longer-name"), "a longer value");
    EXPECT_EQ(r.Child(5).Value(), "a longer text");
    EXPECT_EQ(r.Child(8).Value(), "123456");
    EXPECT_EQ(r.Child(10).Value(), "1234567");
    EXPECT_TRUE(r.Child(12).Value() == longText);
    EXPECT_TRUE(doc.SaveToString() == bytes);
}

TEST(XmlNode, TextsLargerThanTheLoadsStorageSoFarLoadWhole) {
    for (size_t size : {8, 513, 700, 5000, 70000}) {
        const std::string text(size, 'x');
        TXmlDoc doc;
        doc.LoadFromBytes("<r><a>" + text + "</a><b>" + text + "y</b></r>");
        EXPECT_EQ(doc.Root()->Child(0).Value(), text) << size;
        EXPECT_EQ(doc.Root()->Child(1).Value(), text + "y") << size;
    }
}

TEST(XmlNode, ElementsOfManyNamesKeepTheirOwn) {
    std::string bytes = "<r>";
    for (int i = 0; i < 5000; ++i) bytes += "<n" + std::to_string(i % 2500) + "/>";
    TXmlDoc doc;
    doc.LoadFromBytes(bytes + "</r>");
    for (size_t i = 0; i < doc.Root()->ChildCount(); ++i) {
        ASSERT_EQ(doc.Root()->Child(i).Name(), "n" + std::to_string(i % 2500)) << i;
    }
}

TEST(XmlNode, ChangedLoadedNodesOutliveNothingTheyReferTo) {
    TXmlDoc doc;
    doc.LoadFromBytes("<r a='attribute value'>x<e k='v'>a loaded value</e>y</r>");
    TXmlNode& r = *doc.Root();
    r.SetValue("now longer than before");
    r.Child(0).SetAttribute("k", "w");
    r.Child(0).AddElement("added").SetValue("a new value");
    r.Child(1).SetValue("z");
    r.Child(1).AddChild(TXmlNodeType::Comment);
    r.AddAttribute("b", "another value");
    const std::string changed = doc.SaveToString();
    EXPECT_EQ(changed,
              "<r a=\"attribute value\" b=\"another value\">now longer than before"
              "<e k=\"w\">a loaded value<added>a new value</added></e>z</r>");
    EXPECT_EQ(r.Child(1).ChildCount(), 1u);
    EXPECT_THROW(doc.LoadFromBytes("<r>"), EXmlError);
    EXPECT_EQ(doc.SaveToString(), changed);
    doc.LoadFromBytes("<s/>");
    EXPECT_EQ(doc.SaveToString(), "<s></s>");
}

}  // namespace
}  // namespace wm
