// The node storage: children in blocks that never move, names shared among loaded elements.
#include <gtest/gtest.h>

#include <stdexcept>

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

}  // namespace
}  // namespace wm
