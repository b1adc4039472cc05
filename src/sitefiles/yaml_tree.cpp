#include "sitefiles/yaml_tree.h"

#include <yaml-cpp/eventhandler.h>
#include <yaml-cpp/exceptions.h>
#include <yaml-cpp/mark.h>
#include <yaml-cpp/parser.h>

#include <algorithm>
#include <exception>
#include <sstream>

namespace {

using Type = YamlNode::Type;

// Builds the tree from the parser's events: a list or map being read waits on
// a stack until its end event, then joins its parent.
class TreeBuilder : public YAML::EventHandler
{
public:
    explicit TreeBuilder(YamlTree &tree) : m_tree(tree) {}

    YAML::Mark start() const { return m_start; }

    void OnDocumentStart(const YAML::Mark &mark) override { m_start = mark; }
    void OnDocumentEnd() override {}
    void OnNull(const YAML::Mark &mark, YAML::anchor_t anchor) override { add(node(Type::Null, mark, anchor)); }
    void OnAlias(const YAML::Mark &mark, YAML::anchor_t) override { add(node(Type::Null, mark, 1)); }
    void OnScalar(const YAML::Mark &mark, const std::string &, YAML::anchor_t anchor, const std::string &value) override
    {
        YamlNode scalar = node(Type::Scalar, mark, anchor);
        scalar.text = QString::fromStdString(value);
        add(std::move(scalar));
    }
    void OnSequenceStart(const YAML::Mark &mark, const std::string &, YAML::anchor_t anchor, YAML::EmitterStyle::value) override
    {
        m_open.push_back(node(Type::List, mark, anchor));
    }
    void OnSequenceEnd() override { close(); }
    void OnMapStart(const YAML::Mark &mark, const std::string &, YAML::anchor_t anchor, YAML::EmitterStyle::value) override
    {
        m_open.push_back(node(Type::Map, mark, anchor));
    }
    void OnMapEnd() override { close(); }

private:
    // An alias comes as an anchored null, so both are refused here.
    YamlNode node(Type type, const YAML::Mark &mark, YAML::anchor_t anchor)
    {
        YamlNode made;
        made.type = type;
        made.line = mark.line + 1;
        made.column = mark.column + 1;
        if (anchor != YAML::NullAnchor)
            m_tree.problems.append({made.line, made.column, path(), QStringLiteral("anchors and aliases are not allowed")});
        return made;
    }

    // Where the next node goes: each open map names its pending key, each
    // open list the index the node will take.
    QString path() const
    {
        QString path;
        for (const YamlNode &open : m_open) {
            const qsizetype count = qsizetype(open.items.size());
            if (open.type == Type::List)
                path += QStringLiteral("[%1]").arg(count);
            else if (count % 2 == 1)
                path += (path.isEmpty() ? QString() : QStringLiteral(".")) + open.items.back().text;
        }
        return path;
    }

    void add(YamlNode &&made)
    {
        if (m_open.empty())
            m_tree.root = std::move(made);
        else
            m_open.back().items.push_back(std::move(made));
    }

    void close()
    {
        YamlNode closed = std::move(m_open.back());
        m_open.pop_back();
        add(std::move(closed));
    }

    YamlTree &m_tree;
    std::vector<YamlNode> m_open;
    YAML::Mark m_start;
};

YamlProblem problemAt(const YAML::Mark &mark, const QString &message)
{
    return {std::max(1, mark.line + 1), std::max(1, mark.column + 1), QString(), message};
}

} // namespace

YamlTree YamlTree::parse(const QByteArray &bytes)
{
    YamlTree tree;
    std::istringstream in(bytes.toStdString());
    try {
        YAML::Parser parser(in);
        TreeBuilder builder(tree);
        parser.HandleNextDocument(builder);
        YamlTree more;
        TreeBuilder after(more);
        if (parser.HandleNextDocument(after))
            tree.problems.append(problemAt(after.start(), QStringLiteral("a file holds one document only")));
    } catch (const YAML::Exception &error) {
        tree.root = {};
        tree.problems.append(problemAt(error.mark, QString::fromStdString(error.msg)));
    } catch (const std::exception &error) {
        tree.root = {};
        tree.problems.append(problemAt(YAML::Mark(), QString::fromLocal8Bit(error.what())));
    }
    return tree;
}
