#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <vector>

// One node of a YAML document, with where it starts (line and column from 1).
// A map keeps its keys and values in turn in `items`, in file order, so that
// duplicate keys stay visible.
struct YamlNode
{
    enum class Type { Null, Scalar, List, Map };

    Type type = Type::Null;
    int line = 1;
    int column = 1;
    QString text;
    std::vector<YamlNode> items;
};

// Something the YAML layer refused, at a line and column from 1; `keyPath`
// is where it lies in the document ("search.rows", "hosts[0]").
struct YamlProblem
{
    int line = 1;
    int column = 1;
    QString keyPath;
    QString message;
};

// The first document of `bytes` as a tree. Anchors and aliases are refused;
// a syntax error ends the reading and leaves a null root. Never throws.
struct YamlTree
{
    YamlNode root;
    QList<YamlProblem> problems;

    static YamlTree parse(const QByteArray &bytes);
};
