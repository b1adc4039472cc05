#include "sitefiles/site_file_reader.h"

#include "sitefiles/yaml_tree.h"

#include <QFile>
#include <QStringList>
#include <QUrl>

#include <algorithm>
#include <initializer_list>
#include <vector>

namespace {

// A file is as untrusted as a page: its size and nesting are bounded before
// the YAML parser sees it, and its patterns before they meet a page.
constexpr qsizetype kMaxFileBytes = 64 * 1024;
constexpr int kMaxDepth = 16;
constexpr qsizetype kMaxPatternLength = 1000;
// PCRE2 gives up a match after this many steps, so a pattern cannot hang a
// search; a lower limit written in the pattern itself still wins.
constexpr auto kMatchLimit = "(*LIMIT_MATCH=100000)";
constexpr int kFormat = 1;

const QStringList kHitFields = {"title", "year", "thumbnail", "picture", "key", "link"};

using Type = YamlNode::Type;

QString join(const QString &path, const QString &key)
{
    return path.isEmpty() ? key : path + QLatin1Char('.') + key;
}

QString sortedList(QStringList names, const QString &before = {}, const QString &after = {})
{
    names.sort();
    for (QString &name : names)
        name = before + name + after;
    return names.join(QStringLiteral(", "));
}

bool isWebAddress(const QString &text)
{
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() && (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        && !url.host().isEmpty();
}

bool isName(const QString &text)
{
    static const QRegularExpression rule(QStringLiteral("^[A-Za-z0-9-]+$"));
    return rule.match(text).hasMatch();
}

// Nesting as indentation and flow brackets show it, counted without parsing:
// each deeper indentation, each "- " or "? " opening a node within a line and
// each open bracket is a level. Quoted text, comments and the lines of a
// block scalar ("|", ">") do not count.
std::optional<YamlProblem> tooDeep(const QByteArray &bytes)
{
    std::vector<qsizetype> levels; // indentation of each open block level
    int flow = 0;
    char quote = 0;
    qsizetype blockScalar = -1; // indentation of the line that opened a block scalar
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype number = 0; number < lines.size(); ++number) {
        const QByteArray line = lines[number].endsWith('\r') ? lines[number].chopped(1) : lines[number];
        qsizetype column = 0;
        while (column < line.size() && line[column] == ' ')
            ++column;
        const bool blank = column == line.size() || line[column] == '#';
        if (blockScalar >= 0 && (blank || column > blockScalar))
            continue;
        blockScalar = -1;
        if (blank && quote == 0)
            continue;
        const auto deeper = [&]() -> std::optional<YamlProblem> {
            if (qsizetype(levels.size()) + flow <= kMaxDepth)
                return std::nullopt;
            const QString message = QStringLiteral("nesting deeper than %1 levels").arg(kMaxDepth);
            return YamlProblem{int(number + 1), int(column + 1), {}, message};
        };
        if (quote == 0 && flow == 0) {
            const qsizetype indentation = column;
            while (!levels.empty() && levels.back() >= indentation)
                levels.pop_back();
            levels.push_back(indentation);
            for (;;) {
                if (auto problem = deeper())
                    return problem;
                if (column + 1 >= line.size() || (line[column] != '-' && line[column] != '?') || line[column + 1] != ' ')
                    break;
                column += 2;
                while (column < line.size() && line[column] == ' ')
                    ++column;
                levels.push_back(column);
            }
        }
        // A block scalar's lines are those indented past the innermost level open here.
        const qsizetype indentation = levels.empty() ? 0 : levels.back();
        const QByteArray opened = line.left(column).trimmed();
        char previous = opened.isEmpty() ? ':' : opened.back(); // the last character before, blanks aside
        for (; column < line.size(); ++column) {
            const char c = line[column];
            const bool startsNode = QByteArrayView(":-?[{,").contains(previous);
            previous = c == ' ' ? previous : c;
            if (quote == '"' && c == '\\') {
                ++column;
            } else if (quote == '\'' && c == '\'' && column + 1 < line.size() && line[column + 1] == '\'') {
                ++column;
            } else if (quote != 0) {
                quote = c == quote ? 0 : quote;
            } else if ((c == '"' || c == '\'') && startsNode) {
                quote = c;
            } else if (c == '#' && (column == 0 || line[column - 1] == ' ')) {
                break;
            } else if (c == '[' || c == '{') {
                ++flow;
                if (auto problem = deeper())
                    return problem;
            } else if (c == ']' || c == '}') {
                flow = std::max(0, flow - 1);
            } else if ((c == '|' || c == '>') && startsNode && flow == 0) {
                blockScalar = indentation;
            }
        }
    }
    return std::nullopt;
}

// A place in the file: the node found there (null when the key is absent) and its key path.
struct Slot
{
    const YamlNode *node = nullptr;
    QString path;
};

// A map whose keys were checked, looked up by name in file order.
struct Map
{
    struct Entry
    {
        QString name;
        const YamlNode *key;
        const YamlNode *value;
    };

    const YamlNode *node = nullptr; // null when it was absent or not a map
    QString path;
    QList<Entry> entries;

    const Entry *find(const QString &name) const
    {
        const auto found = std::find_if(entries.cbegin(), entries.cend(), [&](const Entry &entry) { return entry.name == name; });
        return found == entries.cend() ? nullptr : &*found;
    }
    bool has(const QString &name) const { return find(name) != nullptr; }
    Slot operator[](const QString &name) const
    {
        const Entry *entry = find(name);
        return {entry ? entry->value : nullptr, join(path, name)};
    }
};

// Checks the tree key by key into a SiteFile, each error at the node it is about.
class Checker
{
public:
    explicit Checker(SiteFileReading &reading) : m_reading(reading), m_site(reading.site) {}

    void check(const YamlNode &root);

private:
    void error(const YamlNode &at, const QString &path, const QString &message)
    {
        m_reading.errors.append({m_site.path, at.line, at.column, path, message});
    }
    void error(const Slot &slot, const QString &message) { error(*slot.node, slot.path, message); }

    // The map at `slot`, its keys among `known` (any key when `known` is empty: hosts, form).
    Map map(const Slot &slot, const QStringList &known, const QStringList &required = {});
    QString oneOf(const Map &map, const QStringList &ways);
    std::optional<QString> string(const Slot &slot);
    std::optional<int> number(const Slot &slot, int min, int max);
    std::optional<std::pair<QString, QString>> pair(const Slot &slot);
    template <typename T> std::optional<T> choice(const Slot &slot, std::initializer_list<std::pair<const char *, T>> options);
    QString address(const Slot &slot);
    QString templ(const Slot &slot, const QStringList &known, bool isAddress);
    QRegularExpression regex(const Slot &slot, const QString &pattern);
    std::optional<SiteExtractor> extractor(const Map &map, const QStringList &ways, const QStringList &known, bool jsonRow);
    std::optional<SiteExtractor> field(const Slot &slot, const QStringList &known, bool jsonRow);
    QList<SiteFilter> filters(const Slot &slot);

    void readSearch(const Slot &slot);
    void readFields(const Slot &slot);
    void readPages(const Slot &slot);
    void readFilmPage(const Slot &slot);
    void readPicture(const Slot &slot);

    QStringList placeholders(const QStringList &names) const
    {
        QStringList known = names;
        known << QStringLiteral("home");
        for (const auto &host : m_site.hosts)
            known << QStringLiteral("host.") + host.first;
        return known;
    }
    bool json() const { return m_site.search.answer == SiteRequest::Answer::Json; }
    // The fields a hit keeps for its film page and picture: not the helpers.
    QStringList hitFields() const
    {
        QStringList names = m_site.fields.keys();
        names.removeIf([](const QString &name) { return !kHitFields.contains(name); });
        return names;
    }

    SiteFileReading &m_reading;
    SiteFile &m_site;
};

Map Checker::map(const Slot &slot, const QStringList &known, const QStringList &required)
{
    Map checked;
    checked.path = slot.path;
    if (!slot.node)
        return checked;
    if (slot.node->type != Type::Map) {
        error(slot, QStringLiteral("expected a map"));
        return checked;
    }
    checked.node = slot.node;
    const std::vector<YamlNode> &items = slot.node->items;
    for (size_t i = 0; i + 1 < items.size(); i += 2) {
        const YamlNode &key = items[i];
        const QString path = join(slot.path, key.text);
        if (key.type != Type::Scalar)
            error(key, slot.path, QStringLiteral("expected a string as key"));
        else if (!known.isEmpty() && !known.contains(key.text))
            error(key, path, QStringLiteral("unknown key; known keys: ") + sortedList(known));
        else if (const Map::Entry *first = checked.find(key.text))
            error(key, path, QStringLiteral("duplicate key (first at line %1)").arg(first->key->line));
        else
            checked.entries.append({key.text, &key, &items[i + 1]});
    }
    for (const QString &name : required) {
        if (!checked.has(name))
            error(*slot.node, join(slot.path, name), QStringLiteral("required key is missing"));
    }
    return checked;
}

// The one of `ways` the map uses, in file order; empty when it uses none.
QString Checker::oneOf(const Map &map, const QStringList &ways)
{
    QString chosen;
    for (const Map::Entry &entry : map.entries) {
        if (!ways.contains(entry.name))
            continue;
        if (chosen.isEmpty())
            chosen = entry.name;
        else
            error(*entry.key, join(map.path, entry.name), QStringLiteral("only one of: ") + sortedList(ways));
    }
    if (chosen.isEmpty() && map.node)
        error(*map.node, map.path, QStringLiteral("expected one of: ") + sortedList(ways));
    return chosen;
}

std::optional<QString> Checker::string(const Slot &slot)
{
    if (!slot.node)
        return std::nullopt;
    if (slot.node->type != Type::Scalar) {
        error(slot, QStringLiteral("expected a string"));
        return std::nullopt;
    }
    return slot.node->text;
}

std::optional<int> Checker::number(const Slot &slot, int min, int max)
{
    if (!slot.node)
        return std::nullopt;
    bool ok = false;
    const int value = slot.node->type == Type::Scalar ? slot.node->text.toInt(&ok) : 0;
    if (!ok)
        error(slot, QStringLiteral("expected a number"));
    else if (value < min || value > max)
        error(slot, QStringLiteral("expected a number from %1 to %2").arg(min).arg(max));
    else
        return value;
    return std::nullopt;
}

std::optional<std::pair<QString, QString>> Checker::pair(const Slot &slot)
{
    if (!slot.node)
        return std::nullopt;
    const std::vector<YamlNode> &items = slot.node->items;
    if (slot.node->type != Type::List || items.size() != 2 || items[0].type != Type::Scalar || items[1].type != Type::Scalar) {
        error(slot, QStringLiteral("expected a list of two strings"));
        return std::nullopt;
    }
    return std::pair(items[0].text, items[1].text);
}

template <typename T>
std::optional<T> Checker::choice(const Slot &slot, std::initializer_list<std::pair<const char *, T>> options)
{
    const std::optional<QString> text = string(slot);
    if (!text)
        return std::nullopt;
    QStringList names;
    for (const auto &[name, value] : options) {
        if (*text == QLatin1String(name))
            return value;
        names << QLatin1String(name);
    }
    error(slot, QStringLiteral("expected one of: ") + sortedList(names));
    return std::nullopt;
}

QString Checker::address(const Slot &slot)
{
    const QString text = string(slot).value_or(QString());
    if (slot.node && slot.node->type == Type::Scalar && !isWebAddress(text))
        error(slot, QStringLiteral("expected an http or https address"));
    return text;
}

// A template names placeholders in braces; "{{" and "}}" write braces. An
// address template cannot name its own scheme: it is relative to the home
// address or starts with a placeholder ({home}, {host.NAME}, {link}...).
QString Checker::templ(const Slot &slot, const QStringList &known, bool isAddress)
{
    const QString text = string(slot).value_or(QString());
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    if (isAddress && scheme.match(text).hasMatch())
        error(slot, QStringLiteral("an address is relative to home or starts with {home} or {host.NAME}"));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if ((c == u'{' || c == u'}') && i + 1 < text.size() && text.at(i + 1) == c) {
            ++i;
        } else if (c == u'}') {
            error(slot, QStringLiteral("a lone } is written }}"));
            break;
        } else if (c == u'{') {
            const qsizetype close = text.indexOf(u'}', i);
            if (close < 0) {
                error(slot, QStringLiteral("a lone { is written {{"));
                break;
            }
            const QString name = text.mid(i + 1, close - i - 1);
            if (!known.contains(name))
                error(slot, QStringLiteral("unknown placeholder {%1}; known: %2").arg(name, sortedList(known, "{", "}")));
            i = close;
        }
    }
    return text;
}

QRegularExpression Checker::regex(const Slot &slot, const QString &pattern)
{
    if (pattern.size() > kMaxPatternLength) {
        error(slot, QStringLiteral("regular expression longer than %1 characters").arg(kMaxPatternLength));
        return {};
    }
    const QString limit = QLatin1String(kMatchLimit);
    QRegularExpression compiled(limit + pattern);
    if (!compiled.isValid()) // compiles it, once: copies share the compiled pattern
        error(slot, QStringLiteral("invalid regular expression at offset %1: %2")
                        .arg(std::max(qsizetype(0), compiled.patternErrorOffset() - limit.size()))
                        .arg(compiled.errorString()));
    return compiled;
}

// How a text is found: the map's one way among `ways`. A json row is read by
// path (or value), and path reads json only.
std::optional<SiteExtractor> Checker::extractor(const Map &map, const QStringList &ways, const QStringList &known, bool jsonRow)
{
    const QString way = oneOf(map, ways);
    if (way.isEmpty())
        return std::nullopt;
    const Slot slot = map[way];
    if (way == QLatin1String("path") ? !json() : jsonRow && way != QLatin1String("value")) {
        error(slot, json() ? QStringLiteral("a json answer is read by ") + (ways.contains("value") ? "path or value" : "path")
                           : QStringLiteral("path is for json answers only"));
        return std::nullopt;
    }
    SiteExtractor found;
    if (way == QLatin1String("between")) {
        found.kind = SiteExtractor::Kind::Between;
        std::tie(found.start, found.end) = pair(slot).value_or(std::pair<QString, QString>());
    } else if (way == QLatin1String("regex")) {
        found.kind = SiteExtractor::Kind::Regex;
        found.pattern = string(slot).value_or(QString());
        found.regex = regex(slot, found.pattern);
    } else if (way == QLatin1String("path")) {
        static const QRegularExpression rule(QStringLiteral(R"(^(?:[^.\[\]]+|(?=\[))(?:\[\d+\])*(?:\.[^.\[\]]+(?:\[\d+\])*)*$)"));
        found.kind = SiteExtractor::Kind::Path;
        found.path = string(slot).value_or(QString());
        if (slot.node->type == Type::Scalar && !rule.match(found.path).hasMatch())
            error(slot, QStringLiteral("expected a json path: keys and [N] joined by '.'"));
    } else {
        found.kind = SiteExtractor::Kind::Value;
        found.templ = templ(slot, known, false);
    }
    return found;
}

std::optional<SiteExtractor> Checker::field(const Slot &slot, const QStringList &known, bool jsonRow)
{
    const Map rule = map(slot, {"between", "regex", "path", "value", "filters"});
    if (!rule.node)
        return std::nullopt;
    std::optional<SiteExtractor> found = extractor(rule, {"between", "regex", "path", "value"}, known, jsonRow);
    const QList<SiteFilter> steps = rule.has("filters") ? filters(rule["filters"]) : QList<SiteFilter>();
    if (found)
        found->filters = steps;
    return found;
}

QList<SiteFilter> Checker::filters(const Slot &slot)
{
    using Kind = SiteFilter::Kind;
    static const QList<std::pair<QString, Kind>> plain = {
        {"trim", Kind::Trim},   {"decode-html", Kind::DecodeHtml}, {"decode-url", Kind::DecodeUrl},
        {"lower", Kind::Lower}, {"upper", Kind::Upper},            {"absolute", Kind::Absolute},
    };
    static const QList<std::pair<QString, Kind>> withValue = {
        {"replace", Kind::Replace}, {"regex-replace", Kind::RegexReplace}, {"prepend", Kind::Prepend},
        {"append", Kind::Append},   {"default", Kind::Default},
    };
    const auto lookup = [](const QList<std::pair<QString, Kind>> &table, const QString &name) {
        const auto found = std::find_if(table.cbegin(), table.cend(), [&](const auto &row) { return row.first == name; });
        return found == table.cend() ? std::nullopt : std::optional(found->second);
    };
    QStringList names;
    for (const auto &table : {plain, withValue})
        for (const auto &row : table)
            names << row.first;
    const QString unknown = QStringLiteral("unknown filter '%1'; known filters: ") + sortedList(names);

    QList<SiteFilter> steps;
    if (slot.node->type != Type::List) {
        error(slot, QStringLiteral("expected a list"));
        return steps;
    }
    for (size_t i = 0; i < slot.node->items.size(); ++i) {
        const YamlNode &item = slot.node->items[i];
        const Slot at{&item, slot.path + QStringLiteral("[%1]").arg(i)};
        SiteFilter step;
        if (item.type == Type::Scalar) {
            if (const auto kind = lookup(plain, item.text))
                step.kind = *kind;
            else if (lookup(withValue, item.text))
                error(at, QStringLiteral("expected a map: {%1: ...}").arg(item.text));
            else
                error(at, unknown.arg(item.text));
        } else if (item.type == Type::Map && item.items.size() == 2 && item.items[0].type == Type::Scalar) {
            const QString name = item.items[0].text;
            const Slot value{&item.items[1], join(at.path, name)};
            const auto kind = lookup(withValue, name);
            if (!kind) {
                error(item.items[0], at.path, unknown.arg(name));
                continue;
            }
            step.kind = *kind;
            if (step.kind == Kind::Replace || step.kind == Kind::RegexReplace)
                std::tie(step.text, step.with) = pair(value).value_or(std::pair<QString, QString>());
            else
                step.text = string(value).value_or(QString());
            if (step.kind == Kind::RegexReplace && value.node->type == Type::List)
                step.regex = regex(value, step.text);
        } else {
            error(at, QStringLiteral("expected a filter: a name, or a map of one name and its value"));
        }
        steps.append(step);
    }
    return steps;
}

void Checker::check(const YamlNode &root)
{
    // A later format's keys mean nothing here: that alone is said.
    for (size_t i = 0; root.type == Type::Map && i + 1 < root.items.size(); i += 2) {
        const YamlNode &value = root.items[i + 1];
        if (root.items[i].text == QLatin1String("format") && value.type == Type::Scalar && value.text.toInt() > kFormat) {
            error(value, QStringLiteral("format"),
                  QStringLiteral("format %1 is newer than this Pellicam reads (%2)").arg(value.text.toInt()).arg(kFormat));
            return;
        }
    }
    const QStringList required = {"format", "id", "name", "language", "kind", "home", "search"};
    const Map top = map({&root, {}}, required + QStringList{"hosts", "film-page", "picture"}, required);
    if (!top.node)
        return;
    m_site.format = number(top["format"], 1, kFormat).value_or(kFormat);
    m_site.id = string(top["id"]).value_or(QString());
    static const QStringList reserved = {"Editeur", "MoteurRecherche", "CinefilImages"};
    if (top.has("id") && top["id"].node->type == Type::Scalar) {
        if (!isName(m_site.id))
            error(top["id"], QStringLiteral("an id is letters, digits and '-'"));
        else if (reserved.contains(m_site.id, Qt::CaseInsensitive))
            error(top["id"], QStringLiteral("%1 is taken by the program; choose another id").arg(m_site.id));
    }
    m_site.name = string(top["name"]).value_or(QString());
    using Language = SiteFile::Language;
    m_site.language = choice<Language>(top["language"], {{"fr", Language::Fr}, {"us", Language::Us}, {"both", Language::Both}})
                          .value_or(Language::Fr);
    using Kind = SiteFile::Kind;
    m_site.kind = choice<Kind>(top["kind"], {{"posters", Kind::Posters}, {"jackets", Kind::Jackets}}).value_or(Kind::Posters);
    m_site.home = address(top["home"]);
    const Map hosts = map(top["hosts"], {});
    for (const Map::Entry &host : hosts.entries) {
        if (!isName(host.name))
            error(*host.key, join(hosts.path, host.name), QStringLiteral("a host name is letters, digits and '-'"));
        m_site.hosts.append({host.name, address(hosts[host.name])});
    }
    readSearch(top["search"]);
    readFilmPage(top["film-page"]);
    readPicture(top["picture"]);
}

void Checker::readSearch(const Slot &slot)
{
    const Map search = map(slot, {"method", "address", "form", "charset", "answer", "rows", "fields", "pages"},
                           {"address", "rows", "fields"});
    if (!search.node)
        return;
    SiteRequest &request = m_site.search;
    using Request = SiteRequest;
    request.method = choice<Request::Method>(search["method"], {{"get", Request::Method::Get}, {"post", Request::Method::Post}})
                         .value_or(Request::Method::Get);
    request.charset = choice<Request::Charset>(search["charset"], {{"utf-8", Request::Charset::Utf8},
                                                                   {"windows-1252", Request::Charset::Windows1252}})
                          .value_or(Request::Charset::Utf8);
    request.answer = choice<Request::Answer>(search["answer"], {{"html", Request::Answer::Html},
                                                                {"text", Request::Answer::Text},
                                                                {"json", Request::Answer::Json}})
                         .value_or(Request::Answer::Html);
    const QStringList requestNames = placeholders({"title", "letter", "page"});
    request.address = templ(search["address"], requestNames, true);
    const bool post = request.method == Request::Method::Post;
    if (search.has("form") && !post)
        error(search["form"], QStringLiteral("form is for method post only"));
    else if (!search.has("form") && post)
        error(*search.node, search["form"].path, QStringLiteral("required key is missing (method is post)"));
    const Map form = map(search["form"], {});
    for (const Map::Entry &field : form.entries)
        request.form.append({field.name, templ(form[field.name], requestNames, false)});

    const Map rows = map(search["rows"], {"within", "between", "regex", "path"});
    if (rows.has("within") && json())
        error(rows["within"], QStringLiteral("within is not for json answers"));
    m_site.rows.within = pair(rows["within"]);
    if (rows.node)
        m_site.rows.each = extractor(rows, {"between", "regex", "path"}, {}, json()).value_or(SiteExtractor());
    readFields(search["fields"]);
    readPages(search["pages"]);
}

// A value template may name the fields found on the row, not other value fields,
// so that no order among fields is needed. A helper field ("_letter") is found
// like the others for value templates to name; the hit does not keep it.
void Checker::readFields(const Slot &slot)
{
    const Map fields = map(slot, {}, {"title"});
    QList<Map::Entry> entries;
    QStringList found;
    for (const Map::Entry &entry : fields.entries) {
        if (!kHitFields.contains(entry.name) && !(entry.name.startsWith(u'_') && isName(entry.name.mid(1)))) {
            error(*entry.key, join(fields.path, entry.name),
                  QStringLiteral("unknown key; known keys: ") + sortedList(kHitFields) + QStringLiteral(", or _NAME for a helper"));
            continue;
        }
        entries << entry;
        bool isValue = false;
        for (size_t i = 0; entry.value->type == Type::Map && i < entry.value->items.size(); i += 2)
            isValue = isValue || entry.value->items[i].text == QLatin1String("value");
        if (!isValue)
            found << entry.name;
    }
    for (const Map::Entry &entry : entries) {
        if (const auto extractor = field(fields[entry.name], placeholders(found), json()))
            m_site.fields.insert(entry.name, *extractor);
    }
}

void Checker::readPages(const Slot &slot)
{
    const Map pages = map(slot, {"next", "address", "max"}, {"max"});
    if (!pages.node)
        return;
    SitePages &read = m_site.pages.emplace();
    const QStringList requestNames = placeholders({"title", "letter", "page"});
    const QString way = oneOf(pages, {"next", "address"});
    if (way == QLatin1String("next"))
        read.next = field(pages["next"], requestNames, false);
    else if (way == QLatin1String("address"))
        read.address = templ(pages["address"], requestNames, true);
    read.max = number(pages["max"], 1, 10).value_or(1);
}

void Checker::readFilmPage(const Slot &slot)
{
    const Map page = map(slot, {"address", "thumbnail", "picture"}, {"address"});
    if (!page.node)
        return;
    SiteFilmPage &read = m_site.filmPage.emplace();
    const QStringList hitNames = placeholders(hitFields());
    read.address = templ(page["address"], hitNames, true);
    if (!page.has("thumbnail") && !page.has("picture"))
        error(*page.node, page.path, QStringLiteral("expected thumbnail, picture or both"));
    if (page.has("thumbnail"))
        read.thumbnail = field(page["thumbnail"], hitNames, false);
    if (page.has("picture"))
        read.picture = field(page["picture"], hitNames, false);
}

void Checker::readPicture(const Slot &slot)
{
    const Map rule = map(slot, {"address", "page", "from-page"});
    if (!rule.node)
        return;
    SitePictureRule &read = m_site.picture.emplace();
    QStringList hitNames = hitFields();
    if (m_site.filmPage && m_site.filmPage->thumbnail)
        hitNames << QStringLiteral("thumbnail");
    if (m_site.filmPage && m_site.filmPage->picture)
        hitNames << QStringLiteral("picture");
    hitNames.removeDuplicates();
    hitNames = placeholders(hitNames);
    const QString way = oneOf(rule, {"address", "page"});
    if (way == QLatin1String("address"))
        read.address = templ(rule["address"], hitNames, true);
    if (way == QLatin1String("page"))
        read.page = templ(rule["page"], hitNames, true);
    if (way == QLatin1String("page") && !rule.has("from-page"))
        error(*rule.node, rule["from-page"].path, QStringLiteral("required key is missing (page is given)"));
    else if (way != QLatin1String("page") && rule.has("from-page"))
        error(rule["from-page"], QStringLiteral("from-page goes with page"));
    if (rule.has("from-page"))
        read.fromPage = field(rule["from-page"], hitNames, false);
}

} // namespace

SiteFileReading readSiteText(const QByteArray &bytes, const QString &path)
{
    SiteFileReading reading;
    reading.site.path = path;
    const auto refuse = [&](const YamlProblem &problem) {
        reading.errors.append({path, problem.line, problem.column, problem.keyPath, problem.message});
    };
    if (bytes.size() > kMaxFileBytes) {
        refuse({1, 1, {}, QStringLiteral("the file is larger than %1 KiB").arg(kMaxFileBytes / 1024)});
        return reading;
    }
    if (const std::optional<YamlProblem> deep = tooDeep(bytes)) {
        refuse(*deep);
        return reading;
    }
    const YamlTree tree = YamlTree::parse(bytes);
    for (const YamlProblem &problem : tree.problems)
        refuse(problem);
    if (tree.root.type == Type::Null && !tree.problems.isEmpty())
        return reading;
    Checker(reading).check(tree.root);
    std::stable_sort(reading.errors.begin(), reading.errors.end(), [](const SiteFileError &a, const SiteFileError &b) {
        return std::pair(a.line, a.column) < std::pair(b.line, b.column);
    });
    return reading;
}

SiteFileReading readSiteFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        SiteFileReading reading;
        reading.site.path = path;
        reading.errors.append({path, 1, 1, {}, QStringLiteral("cannot be read: ") + file.errorString()});
        return reading;
    }
    // One byte past the limit is enough to refuse a larger file without reading it all.
    return readSiteText(file.read(kMaxFileBytes + 1), path);
}
