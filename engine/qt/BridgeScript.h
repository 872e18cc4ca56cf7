#pragma once
// The script the layer places at the creation of every document of every
// frame of a browser, in the page's own script world, before the page's
// scripts: it asks native code for the new context's objects, defines them,
// and carries calls of native functions to native code.
//
// A request travels as JSON in the second argument of prompt(key, json),
// which the page object answers synchronously (BrowserPage); where prompt is
// not available (sandboxed iframes without allow-modals) a synchronous
// XMLHttpRequest to the bridge scheme carries it instead. The answer is JSON.
//
// Requests ("op"): "ctx" {path, url} → {c: context id, g: the global's
// properties, x: scripts}; "call" {c, f: function id, t: receiver, a: args}
// → {v: value} or {e: exception text}; "load" {c, url} (an iframe's document
// finished loading) → {x: scripts}. Every request carries the browser's id
// "b" and the bridge key "k". "x" lists scripts to run in the frame after the
// answer (ExecuteJavaScript during the request).
//
// Values are JSON: strings, booleans, null and finite numbers as they are,
// arrays as arrays; everything else is an object tagged by "#": "u"
// undefined, "n" a non-finite number {v: "NaN"|"Infinity"|"-Infinity"}, "o"
// an object {i: native id (absent for page objects), p: [[name, attribute,
// value], ...]}, "f" a function {i: native id, n: name}.

#include <QString>

namespace engine {

struct BridgeScriptOptions {
    QString key;            // the secret that marks the layer's requests
    int browserId = 0;
    QString xhrBase;        // "<bridge scheme>://call/" — the request follows, URL-encoded
    bool textAreaResizeDisabled = false;
};

QString bridgeScriptSource(const BridgeScriptOptions& options);

// A script for the main frame (run in a private world) that hands `code` to
// the iframe at `path` (indices among parent frames from the top), whose
// bridge runs it.
QString postScriptToFrameSource(const QString& key, const QList<int>& path, const QString& code);

} // namespace engine
