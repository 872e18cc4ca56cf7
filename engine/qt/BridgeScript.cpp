#include "engine/qt/BridgeScript.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace engine {

namespace {

// A JavaScript literal for a text.
QString jsString(const QString& text)
{
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(array.mid(1, array.size() - 2));
}

// Runs in the page's own world at document creation. Everything it needs from
// the page's globals is taken before the page's scripts can change them.
const char* const kBridgeScript = R"JS((function () {
'use strict';
var KEY = %1, BROWSER = %2, XHR_BASE = %3, NO_RESIZE = %4;
var W = window, D = document;
var prompt_ = W.prompt, later = W.setTimeout, indirectEval = W.eval;
var stringify = JSON.stringify, parse = JSON.parse, encodeUri = W.encodeURIComponent;
var defineProperty = Object.defineProperty, objectKeys = Object.keys, isArray = Array.isArray;
var XHR = W.XMLHttpRequest, isFiniteNumber = W.isFinite;
var ids = new W.WeakMap(), objects = new W.Map();
var context = 0, promptWorks = true;
var UNDEFINED = {'#': 'u'};

function send(request) {
  request.b = BROWSER;
  request.k = KEY;
  var text = stringify(request), answer = null;
  if (promptWorks) {
    try { answer = prompt_(KEY, text); } catch (e) { answer = null; }
    if (answer === null || answer === undefined) promptWorks = false;
  }
  if (answer === null || answer === undefined) {
    try {
      var xhr = new XHR();
      xhr.open('GET', XHR_BASE + encodeUri(text), false);
      xhr.send();
      answer = xhr.status === 200 ? xhr.responseText : null;
    } catch (e) { answer = null; }
  }
  if (answer === null || answer === undefined || answer === '') return null;
  var reply = parse(answer);
  if (reply.x) runLater(reply.x);
  return reply;
}

function runLater(scripts) {
  for (var i = 0; i < scripts.length; i++)
    later(indirectEval, 0, scripts[i]);
}

function enc(value, depth) {
  var type = typeof value;
  if (type === 'string' || type === 'boolean') return value;
  if (type === 'number') return isFiniteNumber(value) ? value : {'#': 'n', v: String(value)};
  if (value === null) return null;
  if (type !== 'object' && type !== 'function') return UNDEFINED;
  var id = ids.get(value);
  if (id !== undefined) return {'#': type === 'function' ? 'f' : 'o', i: id};
  if (type === 'function') return {'#': 'f'};
  if (depth >= 8) return {'#': 'o'};
  var i;
  if (isArray(value)) {
    var array = [];
    for (i = 0; i < value.length; i++) array[i] = enc(value[i], depth + 1);
    return array;
  }
  var names, properties = [];
  try { names = objectKeys(value); } catch (e) { names = []; }
  for (i = 0; i < names.length && i < 10000; i++) {
    var property;
    try { property = value[names[i]]; } catch (e) { property = undefined; }
    properties[i] = [names[i], 0, enc(property, depth + 1)];
  }
  return {'#': 'o', p: properties};
}

function dec(value) {
  if (value === null || typeof value !== 'object') return value;
  var i;
  if (isArray(value)) {
    var array = [];
    for (i = 0; i < value.length; i++) array[i] = dec(value[i]);
    return array;
  }
  switch (value['#']) {
  case 'n': return Number(value.v);
  case 'f': return nativeFunction(value.i, value.n);
  case 'o': return nativeObject(value);
  }
  return undefined;
}

function define(target, name, attribute, value) {
  try {
    defineProperty(target, name, {value: value, writable: !(attribute & 1),
                                  enumerable: !(attribute & 2), configurable: !(attribute & 4)});
  } catch (e) {}
}

function defineAll(target, properties) {
  for (var i = 0; i < properties.length; i++)
    define(target, properties[i][0], properties[i][1], dec(properties[i][2]));
}

function nativeObject(value) {
  if (value.i === undefined) return {};
  var object = objects.get(value.i);
  if (!object) {
    object = {};
    objects.set(value.i, object);
    ids.set(object, value.i);
  }
  if (value.p) defineAll(object, value.p);
  return object;
}

function nativeFunction(id, name) {
  if (id === undefined) return undefined;
  var f = objects.get(id);
  if (!f) {
    f = function () { return call(id, this, arguments); };
    try { defineProperty(f, 'name', {value: String(name || '')}); } catch (e) {}
    objects.set(id, f);
    ids.set(f, id);
  }
  return f;
}

function call(id, self, args) {
  // A bare call has the global object as its receiver, as in sloppy code.
  if (self === undefined || self === null) self = W;
  var list = [];
  for (var i = 0; i < args.length; i++) list[i] = enc(args[i], 0);
  var reply = send({op: 'call', c: context, f: id, t: enc(self, 0), a: list});
  if (!reply) throw new Error('native call unavailable');
  if (reply.e !== undefined) throw new Error(reply.e);
  return dec(reply.v);
}

function framePath() {
  var path = [], w = W;
  try {
    while (w !== w.parent) {
      var parent = w.parent, count = parent.length, i = 0;
      while (i < count && parent[i] !== w) i++;
      path.unshift(i);
      w = parent;
    }
  } catch (e) {}
  return path;
}

if (NO_RESIZE) {
  try {
    var sheet = new W.CSSStyleSheet();
    sheet.replaceSync('textarea{resize:none!important}');
    D.adoptedStyleSheets = D.adoptedStyleSheets.concat([sheet]);
  } catch (e) {}
}

W.addEventListener('message', function (event) {
  var data = event.data;
  if (data && typeof data === 'object' && data.tolvanBridgeKey === KEY && typeof data.code === 'string') {
    event.stopImmediatePropagation();
    runLater([data.code]);
  }
}, true);

var created = send({op: 'ctx', path: framePath(), url: String(location.href)});
if (created && created.c) {
  context = created.c;
  var global = created.g;
  if (global && global.i !== undefined) {
    objects.set(global.i, W);
    ids.set(W, global.i);
  }
  if (global && global.p) defineAll(W, global.p);
}

if (W !== W.top) {
  W.addEventListener('load', function () {
    if (context && location.protocol !== 'chrome-error:')
      send({op: 'load', c: context, url: String(location.href)});
  });
}
})();
)JS";

const char* const kPostToFrameScript = R"JS((function () {
var w = window, path = %1;
for (var i = 0; i < path.length; i++) {
  w = w.frames[path[i]];
  if (!w) return;
}
w.postMessage({tolvanBridgeKey: %2, code: %3}, '*');
})();
)JS";

} // namespace

QString bridgeScriptSource(const BridgeScriptOptions& options)
{
    return QString::fromUtf8(kBridgeScript)
        .arg(jsString(options.key), QString::number(options.browserId), jsString(options.xhrBase),
             options.textAreaResizeDisabled ? QStringLiteral("true") : QStringLiteral("false"));
}

QString postScriptToFrameSource(const QString& key, const QList<int>& path, const QString& code)
{
    QJsonArray indices;
    for (int index : path)
        indices.append(index);
    return QString::fromUtf8(kPostToFrameScript)
        .arg(QString::fromUtf8(QJsonDocument(indices).toJson(QJsonDocument::Compact)),
             jsString(key), jsString(code));
}

} // namespace engine
