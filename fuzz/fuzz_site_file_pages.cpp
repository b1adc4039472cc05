// Plays its input as every page that three fixed site files read: one cuts
// its rows by markers, one by a regular expression and posts its form, one
// reads JSON. Between them they use every filter, the next page, the page
// numbers, the film page and the picture's page.
#include "site_fuzzer.h"

namespace {

const char kMarkers[] = R"yaml(format: 1
id: fuzz-markers
name: Fuzz Markers
language: fr
kind: posters
home: http://films.example/
hosts:
  images: http://img.example/
search:
  address: "search?q={title}&l={letter}&page={page}"
  rows:
    within: ["<ul class=\"results\">", "</ul>"]
    between: ["<li", "</li>"]
  fields:
    title: {between: ["<h2>", "</h2>"], filters: [trim, decode-html, {replace: ["  ", " "]}, {default: "?"}]}
    year: {regex: "\\((?<value>\\d{4})\\)"}
    key: {between: ["data-id=\"", "\""], filters: [lower, {regex-replace: ["[^a-z0-9]+", "-"]}]}
    link: {between: ["href=\"", "\""], filters: [decode-url, absolute]}
  pages:
    next: {between: ["<a rel=\"next\" href=\"", "\""], filters: [absolute]}
    max: 3
film-page:
  address: "{link}"
  thumbnail: {regex: "<img class=\"small\" src=\"(?<value>[^\"]+)\"", filters: [absolute]}
  picture: {between: ["<img id=\"poster\" src=\"", "\""], filters: [absolute]}
picture:
  page: "{link}"
  from-page: {between: ["<img id=\"poster\" src=\"", "\""], filters: [absolute]}
)yaml";

const char kRegex[] = R"yaml(format: 1
id: fuzz-regex
name: Fuzz Regex
language: us
kind: jackets
home: http://covers.example/
search:
  method: post
  address: "find.php"
  form:
    q: "{title}"
    page: "{page}"
  charset: windows-1252
  rows: {regex: "(?s)<li(?<row>.*?)</li>"}
  fields:
    title: {regex: "<h2>\\s*(?<value>.*?)\\s*</h2>", filters: [decode-html, upper]}
    year: {regex: "\\((?<value>[^)]*)\\)", filters: [trim]}
    key: {regex: "data-id=\"(?<value>[^\"]*)\""}
    _letter: {regex: "(?s)^(?|.*?<h2>\\s*(?<value>\\w)|(?<value>.))", filters: [lower]}
    thumbnail: {regex: "src=\"(?<value>[^\"]*)\"", filters: [{prepend: "/"}, {append: "?s=1"}]}
    link: {value: "{home}/film/{_letter}/{key}.html"}
  pages: {address: "find.php?page={page}", max: 3}
film-page:
  address: "{link}"
  picture: {regex: "(?s)id=.poster. src=.(?<value>[^\"']+)", filters: [absolute]}
picture:
  address: "{picture}"
)yaml";

const char kJson[] = R"yaml(format: 1
id: fuzz-json
name: Fuzz JSON
language: both
kind: posters
home: http://api.example/
search:
  address: "api/search?query={title}&page={page}"
  answer: json
  rows: {path: data.results}
  fields:
    title: {path: title, filters: [trim]}
    year: {path: release}
    key: {path: id}
    thumbnail: {path: "images[0]", filters: [absolute]}
    link: {value: "{home}/api/film/{key}"}
  pages:
    next: {regex: "\"next\":\\s*\"(?<value>[^\"]+)\"", filters: [absolute]}
    max: 2
film-page:
  address: "{link}"
  picture: {between: ["\"poster\": \"", "\""], filters: [absolute]}
picture:
  page: "{link}/poster"
  from-page: {regex: "https?://[^\"]+\\.jpg"}
)yaml";

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzSiteFiles({kMarkers, kRegex, kJson}, data, size);
}
