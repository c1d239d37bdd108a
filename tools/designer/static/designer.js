// The brand designer: the brand as the page holds it, drawn on its pictures,
// edited by pointer, keys and forms, checked by the server after each change
// and saved only when the build would take it.
"use strict";
const $ = (id) => document.getElementById(id);
let S = null;           // what the server said: keys, pages, pictures, base
let tabs = [];          // S.pages with "page" copied for each of the brand's [[page]] (see makeTabs)
let data = null;        // the brand being edited; [[tables]] carry "@", their place in the file
let page = 0, lang = "", sel = -1, zoom = 1, pressed = false;
let messages = [], ok = false, dirty = false, pending = null, changedOnDisk = false;

function el(tag, props = {}, ...children) {
  const e = Object.assign(document.createElement(tag), props);
  children.forEach((c) => c != null && e.append(c));
  return e;
}
const get = (o, path) => path.reduce((v, k) => (v == null ? undefined : v[k]), o);
const P = () => tabs[page];
const items = () => get(data, P().items) || [];
const windowTable = () => get(data, P().window) || {};
const own = () => (data.identity && data.identity.language) || "en";
const file = (path) => "file/" + path.split("/").map(encodeURIComponent).join("/");
const kindOf = (item) => item[P().kindKey];
// The checker's names for unnamed ones: Zone1, ..., Label3, ...
const itemName = (item, i) => item.name || (P().table === "zone" ? "Zone" : cap(kindOf(item) || "")) + (i + 1);
const cap = (s) => s.charAt(0).toUpperCase() + s.slice(1);

async function call(path, body) {
  const r = await fetch(path, body === undefined ? {} : { method: "POST", body: JSON.stringify(body) });
  return [r.status, await r.json()];
}

async function load() {
  const [code, state] = await call("api/state");
  if (code !== 200) return status(state.text, true);
  S = state;
  data = S.data;
  changedOnDisk = false;
  $("banner").hidden = true;
  makeTabs();
  if (data) (data.page || []).forEach((one, n) => (one["@"] = n));
  if (data) for (const p of tabs) (get(data, p.items) || []).forEach((it, i) => (it["@"] = i));
  $("pics").replaceChildren(...S.pictures.map((p) => el("option", { value: p })));
  dirty = false;
  page = Math.min(page, tabs.length - 1);
  if (sel >= items().length) sel = -1;
  showChecked(S);
  render();
}

// --- Pages: added, renamed, moved and removed -----------------------------------

const pages = () => (data && data.page) || [];
const sameName = (a, b) => typeof a === "string" && typeof b === "string" && a.toLowerCase() === b.toLowerCase();
function tabOf(n) {  // the tab of page n, or the menu's for -1
  makeTabs();
  return n < 0 ? tabs.findIndex((t) => t.id === "menu") : tabs.findIndex((t) => t.id === "page" && t.window[1] === n);
}
function showTab(at, item = -1) {
  page = at;
  sel = item;
  render();
}

// The zones whose action opens the page `one`, wherever they stand (the
// checker matches names whatever their case); its own zones go with it.
function openers(one) {
  return [[-1, data.zone || []], ...pages().map((p, n) => [n, p === one ? [] : p.zone || []])].flatMap(([n, list]) =>
    list.flatMap((zone, i) => (zone.action === "page" && sameName(zone.page, one.name) ? [{ zone, n, i }] : [])));
}
const openerName = (o) => itemName(o.zone, o.i) + (o.n < 0 ? " (menu)" : " (page " + (pages()[o.n].name || o.n + 1) + ")");

$("addpage").onclick = () => {
  if (!data) return;
  let n = pages().length + 1;
  while (pageTaken("page" + n)) n++;
  $("pagename").value = "page" + n;
  const menuPicture = (data.menu || {}).picture;
  $("pagepicture").replaceChildren(...S.pictures.map((p) => el("option", { value: p, textContent: p,
    selected: p === menuPicture })));
  $("pageproblem").textContent = "";
  $("newpage").showModal();
};
const pageTaken = (name) => sameName(name, "menu") || pages().some((p) => sameName(p.name, name));
$("pageadd").onclick = () => {
  const name = $("pagename").value.trim(), picture = $("pagepicture").value;
  const problem = !name ? "Name it: zones open a page by its name." : pageTaken(name) ? name + " is taken."
    : !picture ? "Drop its picture on the designer first." : "";
  if (problem) return ($("pageproblem").textContent = problem);
  $("newpage").close();
  data.page = data.page || [];
  data.page.push({ name, picture });
  showTab(tabOf(data.page.length - 1));
  changed();
};
$("pagecancel").onclick = () => $("newpage").close();
$("pagename").addEventListener("keydown", (e) => {
  if (e.key !== "Enter") return;
  e.preventDefault();  // else the key goes on to "+ page", focused again once the dialog closes
  $("pageadd").click();
});

function movePage(by) {
  const list = pages(), n = P().window[1], to = n + by;
  if (to < 0 || to >= list.length) return;
  [list[n], list[to]] = [list[to], list[n]];
  showTab(tabOf(to));
  changed();
}
$("pageup").onclick = () => movePage(-1);
$("pagedown").onclick = () => movePage(1);

// A page that zones open goes only once the publisher has read which.
$("delpage").onclick = () => {
  const one = windowTable(), by = openers(one);
  if (!by.length) return removePage();
  $("asktext").textContent = `Page ${one.name} is opened by ${by.map(openerName).join(", ")}. Remove it? ` +
    "Each of those zones then needs another page to open, or another action.";
  $("ask").showModal();
};
$("askyes").onclick = () => { $("ask").close(); removePage(); };
$("askno").onclick = () => $("ask").close();

// The page goes, its zones and what the languages give them with it; the
// designer then shows the first zone left opening it, the checker's message
// beside it.
function removePage() {
  const n = P().window[1], one = pages()[n];
  (one.zone || []).forEach((zone, i) => renamed(itemName(zone, i), undefined));
  for (const tag of Object.keys(data.language || {})) {
    if (data.language[tag].page && one.name !== undefined) delete data.language[tag].page[one.name];
    prune(data.language[tag]);
  }
  pages().splice(n, 1);
  if (!pages().length) delete data.page;
  const left = openers(one)[0];
  if (left) showTab(tabOf(left.n), left.i); else showTab(tabOf(n - 1));
  changed();
}

// A page renamed takes along the zones that open it and its languages'
// tables: those it had when the typing began, so a name passing through
// another page's on the way takes none of that page's.
function pageFollower(one) {
  const by = openers(one), was = one.name;
  const own = Object.keys(data.language || {}).flatMap((tag) => {
    const t = data.language[tag].page && data.language[tag].page[was];
    return t ? [[tag, t]] : [];
  });
  let at = was;
  return (to) => {
    if (to) by.forEach((o) => (o.zone.page = to));
    for (const [tag, t] of own) {
      const held = data.language[tag].page || (data.language[tag].page = {});
      if (held[at] === t) delete held[at];
      if (to && held[to] === undefined) held[to] = t;
      prune(data.language[tag]);
    }
    at = to;
  };
}

// --- Language tables ---------------------------------------------------------

// The table a language gives its own of for the selected item (or the page's
// window, or a brand table); created on demand, pruned when emptied.
function langPath(table, item) {
  if (table === P().table) return P().language.split(".").concat([item.name]);
  if (table === "page") return ["page", item.name];
  return [table];
}
function langTable(table, item, create) {
  let at = data.language || (create ? (data.language = {}) : undefined);
  for (const k of at ? [lang].concat(langPath(table, item)) : []) {
    if (!at[k]) { if (!create) return undefined; at[k] = {}; }
    at = at[k];
  }
  return at;
}
function prune(o) {
  for (const k of Object.keys(o)) {
    if (o[k] && typeof o[k] === "object" && !Array.isArray(o[k])) {
      prune(o[k]);
      if (!Object.keys(o[k]).length) delete o[k];
    }
  }
}
function shown(table, item, key) {  // a picture or text as the current language shows it
  const t = lang && langTable(table, item, false);
  return (t && t[key]) || item[key];
}

// --- The stage ---------------------------------------------------------------

// The menu, each [[page]] in the file's order, the About window.
function makeTabs() {
  tabs = S.pages.flatMap((p) => (p.id !== "page" ? [p] : pages().map((one, n) =>
    Object.assign({}, p, { title: "Page " + (one.name || n + 1), window: ["page", n], items: ["page", n, "zone"] }))));
}

function render() {
  makeTabs();
  renderTabs();
  renderStage();
  renderList();
  renderForm();
  showMessages();
}

function renderTabs() {
  $("pages").replaceChildren(...tabs.map((p, i) => el("button", {
    textContent: p.title, className: i === page ? "on" : "", onclick: () => { page = i; sel = -1; render(); } })));
  const tags = data ? [""].concat(Object.keys(data.language || {})) : [""];
  $("langs").replaceChildren(...tags.map((t) => el("button", {
    textContent: t || own(), className: t === lang ? "on" : "", onclick: () => { lang = t; render(); } })));
  $("pagenames").replaceChildren(...["menu", ...pages().map((p) => p.name)].map((n) => el("option", { value: n })));
  $("z100").textContent = Math.round(zoom * 100) + " %";
}

function renderStage() {
  const stage = $("stage");
  stage.replaceChildren();
  if (!data) return;
  const win = windowTable(), size = win.size || (P().id === "page" && data.menu && data.menu.size) || [400, 300];
  stage.style.width = size[0] * zoom + "px";
  stage.style.height = size[1] * zoom + "px";
  stage.style.background = win[P().colour] || "#444";
  const picture = P().picture && shown(P().id, win, P().picture);
  if (picture) stage.append(el("img", { src: file(picture), width: size[0] * zoom, height: size[1] * zoom }));
  const list = items(), order = focusOrder();
  list.forEach((item, i) => {
    const r = item.rect || [0, 0, 40, 20];
    const box = el("div", { className: "item" + (i === sel ? " sel" : "") });
    box.dataset.i = i;
    Object.assign(box.style, { left: r[0] * zoom + "px", top: r[1] * zoom + "px", width: r[2] * zoom + "px",
      height: r[3] * zoom + "px", zIndex: list.length - i });
    box.append(face(item, r, size));
    const n = order.indexOf(itemName(item, i));
    box.append(el("span", { className: "name", textContent: (n >= 0 ? n + 1 + ". " : "") + itemName(item, i) }));
    if (i === sel && P().lit) {
      const lit = (pressed && shown(P().id, win, P().lit[1])) || shown(P().id, win, P().lit[0]);
      if (lit) Object.assign(box.style, { backgroundImage: `url("${file(lit)}")`, backgroundSize: `${size[0] * zoom}px`,
        backgroundPosition: `${-r[0] * zoom}px ${-r[1] * zoom}px` });
      for (const h of ["n", "s", "e", "w", "ne", "nw", "se", "sw"]) {
        const handle = el("div", { className: "h h-" + h });
        handle.dataset.h = h;
        Object.assign(handle.style, { left: h.includes("w") ? "0" : h.includes("e") ? "100%" : "50%",
          top: h.includes("n") ? "0" : h.includes("s") ? "100%" : "50%" });
        box.append(handle);
      }
    }
    if (i === sel) box.append(el("div", { id: "readout", textContent: r.join(", "), style: "top:100%" }));
    stage.append(box);
  });
}

// What an About control looks like, roughly: the launcher draws it for real.
function face(item, r, size) {
  const f = el("div", { className: "face" });
  const past = (n) => Math.max(0, (r[n] + r[n + 2] - size[n]) * zoom) + "px";
  f.style.clipPath = `inset(0 ${past(0)} ${past(1)} 0)`;  // the window cuts what runs past it
  const k = kindOf(item);
  if (k === "picture" && item.file) {
    f.style.background = item.background || "";
    f.append(el("img", { src: file(shown("control", item, "file")), style: `zoom:${zoom}` }));
  } else if (k === "label") {
    Object.assign(f.style, { color: item.colour || "", background: item.background || "", fontSize: 11 * zoom + "px",
      fontWeight: item.bold ? "bold" : "", textDecoration: item.underline ? "underline" : "" });
    f.textContent = shown("control", item, "text") || "";
  } else if (k === "oval") {
    Object.assign(f.style, { borderRadius: "50%", background: item.colour || "",
      border: item.outline ? `${zoom}px solid ${item.outline}` : "" });
  }
  return f;
}

function focusOrder() {
  const menu = (data && data.menu) || {};
  if (P().focus === undefined || !menu.keyboard) return [];
  return windowTable()[P().focus] || items().map(itemName);
}

// --- Pointer and keys ----------------------------------------------------------

let drag = null;
$("stage").addEventListener("pointerdown", (e) => {
  const box = e.target.closest(".item");
  if (!box || e.target.closest(".msg")) return;
  e.preventDefault();
  sel = +box.dataset.i;
  const item = items()[sel];
  item.rect = item.rect || [0, 0, 40, 20];
  drag = { x: e.clientX, y: e.clientY, rect: item.rect.slice(), h: e.target.dataset.h || "" };
  pressed = true;
  render();
});
document.addEventListener("pointermove", (e) => {
  if (!drag) return;
  const dx = Math.round((e.clientX - drag.x) / zoom), dy = Math.round((e.clientY - drag.y) / zoom);
  const [l, t, w, h] = drag.rect, r = items()[sel].rect, H = drag.h;
  if (!H) { r[0] = Math.max(0, l + dx); r[1] = Math.max(0, t + dy); return moved(); }
  if (H.includes("w")) { r[0] = Math.min(l + w - 1, Math.max(0, l + dx)); r[2] = l + w - r[0]; }
  if (H.includes("e")) r[2] = Math.max(1, w + dx);
  if (H.includes("n")) { r[1] = Math.min(t + h - 1, Math.max(0, t + dy)); r[3] = t + h - r[1]; }
  if (H.includes("s")) r[3] = Math.max(1, h + dy);
  moved();
});
document.addEventListener("pointerup", () => {
  if (!drag) return;
  const was = drag.rect;
  drag = null;
  pressed = false;
  renderStage();
  if (items()[sel].rect.some((v, n) => v !== was[n])) changed();
});
function moved() {
  renderStage();
  const inputs = document.querySelectorAll("#form [data-key=rect] input");
  const r = items()[sel].rect;
  inputs.forEach((input, n) => (input.value = r[n]));
}
document.addEventListener("keydown", (e) => {
  if (sel < 0 || e.target.closest("input, textarea, select, dialog")) return;
  const step = e.shiftKey ? 10 : 1;
  const d = { ArrowLeft: [-step, 0], ArrowRight: [step, 0], ArrowUp: [0, -step], ArrowDown: [0, step] }[e.key];
  if (e.key === "Delete") return remove();
  if (!d) return;
  e.preventDefault();
  const r = items()[sel].rect;
  r[0] = Math.max(0, r[0] + d[0]);
  r[1] = Math.max(0, r[1] + d[1]);
  moved();
  changed();
});

function zoomTo(z) { zoom = Math.min(8, Math.max(0.25, z)); render(); }
$("zin").onclick = () => zoomTo(zoom * 2);
$("zout").onclick = () => zoomTo(zoom / 2);
$("z100").onclick = () => zoomTo(1);
$("view").addEventListener("wheel", (e) => {
  if (!e.ctrlKey) return;
  e.preventDefault();
  zoomTo(zoom * (e.deltaY < 0 ? 1.25 : 0.8));
}, { passive: false });

// --- The list: select, add, delete, reorder ------------------------------------

function renderList() {
  $("items").replaceChildren(...items().map((item, i) => el("li", {
    textContent: `${itemName(item, i)} (${kindOf(item) || "?"})`, className: i === sel ? "sel" : "",
    onclick: () => { sel = i; render(); } })));
  const absent = !data || !get(data, P().window);
  for (const id of ["add", "del", "up", "down"]) $(id).disabled = absent || (id !== "add" && sel < 0);
  $("pagebar").hidden = P().id !== "page";
  $("pageup").disabled = P().id !== "page" || P().window[1] === 0;
  $("pagedown").disabled = P().id !== "page" || P().window[1] === pages().length - 1;
  $("focus").hidden = !focusOrder().length;
  $("order").replaceChildren(...focusOrder().map((name) => {
    const chosen = sel >= 0 && itemName(items()[sel], sel) === name;
    const li = el("li", { textContent: name, className: chosen ? "sel" : "" });
    li.addEventListener("pointerdown", (e) => dragFocus(e, name));
    return li;
  }));
}

function dragFocus(e, name) {
  e.preventDefault();
  const rows = [...$("order").children];
  const drop = (up) => {
    document.removeEventListener("pointerup", drop);
    const at = rows.filter((li) => li.textContent !== name &&
      li.getBoundingClientRect().top + li.offsetHeight / 2 < up.clientY).length;
    const order = focusOrder().filter((n) => n !== name);
    order.splice(Math.min(at, order.length), 0, name);
    windowTable()[P().focus] = order;
    render();
    changed();
  };
  document.addEventListener("pointerup", drop);
}

$("add").onclick = () => {
  const list = items(), item = JSON.parse(JSON.stringify(P().template));
  let n = list.length + 1;
  // A zone's name is the brand's, across the menu and its pages.
  const taken = P().table === "zone" ? [data.zone || [], ...(data.page || []).map((p) => p.zone || [])].flat() : list;
  while (taken.some((it) => (it.name || "").toLowerCase() === (item.name + n).toLowerCase()) ||
    list.some((it, i) => itemName(it, i).toLowerCase() === (item.name + n).toLowerCase())) n++;
  item.name += n;
  if (!get(data, P().items)) P().items.reduce((o, k, i, a) => (o[k] = o[k] || (i === a.length - 1 ? [] : {})), data);
  get(data, P().items).push(item);
  sel = get(data, P().items).length - 1;
  render();
  changed();
};
function remove() {
  const name = itemName(items()[sel], sel);
  items().splice(sel, 1);
  renamed(name, undefined);
  sel = -1;
  render();
  changed();
}
$("del").onclick = remove;
function reorder(by) {
  const list = items(), to = sel + by;
  if (to < 0 || to >= list.length) return;
  [list[sel], list[to]] = [list[to], list[sel]];
  sel = to;
  render();
  changed();
}
$("up").onclick = () => reorder(-1);
$("down").onclick = () => reorder(1);

// A zone's languages and its place in the focus order follow its name.
function renamed(from, to) {
  if (from === to) return;
  for (const tag of Object.keys(data.language || {})) {
    const t = get(data.language[tag], P().language.split("."));
    if (t && t[from] !== undefined) {
      if (to) t[to] = t[from];
      delete t[from];
      prune(data.language[tag]);
    }
  }
  const win = windowTable();
  if (P().focus && win[P().focus]) {
    win[P().focus] = win[P().focus].flatMap((n) => (n === from ? (to ? [to] : []) : [n]));
  }
}

$("newlang").addEventListener("keydown", (e) => {
  const tag = e.target.value.trim();
  if (e.key !== "Enter" || !tag || !data) return;
  data.language = data.language || {};
  data.language[tag] = data.language[tag] || {};
  lang = tag === own() ? "" : tag;
  e.target.value = "";
  render();
});

// --- The form, built from the checker's key list ----------------------------------

function renderForm() {
  unparsed.clear();
  const form = $("form");
  form.replaceChildren();
  if (!data) return;
  if (!get(data, P().window)) {
    form.append(el("h2", { textContent: P().title + ": none" }),
      el("button", { textContent: "Add " + P().title, onclick: () => {
        P().window.reduce((o, k) => (o[k] = o[k] || {}), data);
        Object.assign(get(data, P().window), P().windowTemplate);
        render(); changed();
      } }));
    return;
  }
  if (sel >= 0) {
    const item = items()[sel];
    form.append(el("h2", { textContent: itemName(item, sel) }));
    if (lang && !item.name) return form.append(el("p", { textContent: "Give it a name first: languages name it." }));
    form.append(...fields(P().table, item, kindOf(item), [...P().items, sel]));
    return;
  }
  const tables = P().id === "menu" ? ["identity", "menu", "disc", "messages"] : [P().window[0]];
  for (const table of tables) {
    const body = table === P().window[0] ? windowTable() : data[table] || {};
    const found = fields(table, body, null, table === P().window[0] ? P().window : [table],
      () => (data[table] = data[table] || body));
    if (found.length) form.append(el("details", { open: table !== "messages" },
      el("summary", { textContent: "[" + table + "]" }), ...found));
  }
}

function fields(table, item, kind, path, attach) {
  const keys = S.keys.filter((k) => k.table === table && (!lang || k.translated) &&
    ((kind ? !k.takes.length || k.takes.includes(kind) : true) || k.name in item));
  const out = [];
  if (kind !== null && !lang) {
    const kk = P().kindKey;
    const select = el("select", { onchange: () => { item[kk] = select.value; render(); changed(); } },
      ...P().kinds.map((k) => el("option", { value: k, textContent: k, selected: k === kind })));
    out.push(field(kk, "what it is", select, path, true));
  }
  for (const key of keys) {
    if (key.name === P().kindKey && kind !== null) continue;
    let follow = null;  // a page's name: what follows it as it is typed
    const target = () => (lang ? langTable(table, item, true) : item);
    const current = lang ? (langTable(table, item, false) || {})[key.name] : item[key.name];
    const required = !lang && (key.required === true || (Array.isArray(key.required) && key.required.includes(kind)));
    const input = editor(key, current, lang ? item[key.name] : key.default, (value) => {
      const t = target(), before = kind !== null && itemName(item, sel);
      if (attach) attach();
      if (table === "page" && key.name === "name" && !lang) (follow = follow || pageFollower(item))(value);
      if (value === undefined) delete t[key.name]; else t[key.name] = value;
      if (key.name === "name" && !lang && before) renamed(before, itemName(item, sel));
      if (lang) prune(data.language[lang]);  // the language itself stays, if empty
      if (table === "page") renderTabs();
      renderStage(); renderList(); changed();
    });
    out.push(field(key.name, key.doc + " (" + key.what + ")", input, path, required));
  }
  return out;
}

function field(name, help, input, path, required) {
  const box = el("div", { className: "field" }, el("label", { textContent: name + (required ? " *" : "") }), input,
    el("div", { className: "help", textContent: help }), el("div", { className: "msgs" }));
  box.dataset.key = name;
  box.dataset.path = JSON.stringify(lang ? ["language", lang] : path);
  return box;
}

// An input for one value, by its kind; emptied, the key goes.
function editor(key, value, placeholder, set) {
  const k = key.kind;
  if (k === "bool") {
    const box = el("input", { type: "checkbox", checked: value === true });
    box.onchange = () => set(box.checked ? true : undefined);
    return box;
  }
  if (k === "condition") return conditionEditor(value, set);
  const parts = { rect: ["left", "top", "width", "height"], size: ["width", "height"], point: ["x", "y"] }[k];
  if (parts) {
    const span = el("span");
    const inputs = parts.map((p, n) => el("input", { type: "number", title: p, placeholder: p,
      value: Array.isArray(value) ? value[n] : "" }));
    inputs.forEach((input) => (input.oninput = () => {
      const v = inputs.map((i) => i.value.trim());
      set(v.every((x) => x === "") ? undefined : v.map((x) => (/^-?\d+$/.test(x) ? parseInt(x, 10) : x)));
    }));
    span.append(...inputs);
    return span;
  }
  const text = typeof value === "string" ? value : value === undefined ? "" :
    k === "names" ? value.join(", ") : JSON.stringify(value);
  const input = k === "text" ? el("textarea", { rows: 3, value: text }) : el("input", { value: text });
  if (/picture|icon|cursor|file/.test(k)) input.setAttribute("list", "pics");
  if (key.table === "zone" && key.name === "page") input.setAttribute("list", "pagenames");
  input.placeholder = placeholder == null ? "" : typeof placeholder === "string" ? placeholder
    : JSON.stringify(placeholder);
  input.oninput = () => {
    const v = input.value;
    if (v === "") return set(undefined);
    if (k === "names") return set(v.split(",").map((s) => s.trim()).filter(Boolean));
    if (typeof value !== "string" && value !== undefined) {  // a list or number stays one when it parses
      try { return set(JSON.parse(v)); } catch (e) { /* else as text */ }
    }
    set(v);
  };
  return input;
}

// A condition as the brand file writes it, `{ architecture = ["x64"] }`, read
// back by the server's TOML reader; save waits while one does not read.
const unparsed = new Set();
function inline(v) {
  if (Array.isArray(v)) return "[" + v.map(inline).join(", ") + "]";
  if (v && typeof v === "object") {
    const keys = Object.keys(v).map((k) => (/^[A-Za-z0-9_-]+$/.test(k) ? k : JSON.stringify(k)) + " = " + inline(v[k]));
    return keys.length ? "{ " + keys.join(", ") + " }" : "{}";
  }
  return JSON.stringify(v);
}
function conditionEditor(value, set) {
  const input = el("input", { value: value === undefined ? "" : inline(value),
    placeholder: '{ architecture = ["x64"] }' });
  const said = el("div", { className: "msg" });
  let asking = 0;
  input.oninput = async () => {
    const mine = ++asking;
    status("checking…");
    unparsed.add(input);
    updateSave();
    if (!input.value.trim()) { unparsed.delete(input); said.textContent = ""; return set(undefined); }
    const [code, out] = await call("api/toml", { text: input.value });
    if (mine !== asking) return;
    said.textContent = code === 200 ? "" : out.text;
    if (code !== 200) return status("not TOML: " + out.text, true);
    unparsed.delete(input);
    set(out.value);
  };
  return el("span", {}, input, said);
}

// --- Checking and saving ---------------------------------------------------------

function changed() {
  dirty = true;
  ok = false;
  status("checking…");
  updateSave();
  clearTimeout(pending);
  pending = setTimeout(check, 250);
}

let asked = 0;
async function check() {
  pending = null;
  const mine = ++asked;
  const [code, out] = await call("api/check", { base: S.base, data });
  if (pending || mine !== asked) return;  // a newer change is on its way
  if (code === 409) return diskChanged(out.text);
  showChecked(out);
}

function showChecked(out) {
  messages = out.messages || [];
  ok = !!out.ok && !!data;
  const errors = messages.filter((m) => m.error).length;
  status(out.text || (errors ? `${errors} mistake${errors > 1 ? "s" : ""}: the build would refuse this brand`
    : dirty ? "checked: the build takes it" : "as on disk"), errors > 0 || (out.text && !out.saved));
  showMessages();
  updateSave();
}

function status(text, bad) {
  $("status").textContent = text;
  $("status").className = bad ? "bad" : "";
}
function updateSave() { $("save").disabled = !(ok && dirty && !pending && !changedOnDisk && !unparsed.size); }

// Each message beside the zone, control or key its line names.
function showMessages() {
  document.querySelectorAll(".item .msg").forEach((m) => m.remove());
  document.querySelectorAll(".item.bad").forEach((m) => m.classList.remove("bad"));
  document.querySelectorAll(".field .msgs").forEach((m) => m.replaceChildren());
  const others = [];
  for (const m of messages) {
    const said = `${S.name}:${m.line}: ${m.text}`;  // as the build prints it
    const note = (cls) => el("div", { className: "msg" + (m.error ? "" : " warn") + (cls || ""), textContent: said });
    const [index, key] = place(m.path);
    let shownAt = false;
    if (index !== null) {
      const box = document.querySelector(`.item[data-i="${index}"]`);
      if (box) { box.append(note()); if (m.error) box.classList.add("bad"); shownAt = true; }
    }
    if (key && (index === null || index === sel)) {
      const slot = [...document.querySelectorAll(".field")].find((f) => f.dataset.key === key &&
        (m.path.join("/") + "/").startsWith(JSON.parse(f.dataset.path).join("/") + "/"));
      if (slot) { slot.querySelector(".msgs").append(note()); shownAt = true; }
    }
    if (!shownAt) {
      others.push(el("li", { className: m.error ? "err" : "warn", textContent: said }));
    }
  }
  $("others").replaceChildren(...others);
}

// [item index on this page or null, key or null] of a message's key path.
function place(path) {
  const p = P(), at = p.items.length;
  if (p.items.every((k, n) => path[n] === k) && typeof path[at] === "number") return [path[at], path[at + 1] || null];
  const lp = ["language", lang].concat(p.language.split("."));
  if (lang && path.length > lp.length && lp.every((k, n) => path[n] === k)) {
    const index = items().findIndex((it) => it.name === path[lp.length]);
    return [index >= 0 ? index : null, path[lp.length + 1] || null];
  }
  return [null, path[path.length - 1] || null];
}

$("save").onclick = async () => {
  $("save").disabled = true;
  const [code, out] = await call("api/save", { base: S.base, data });
  if (code === 409) return diskChanged(out.text);
  if (code !== 200) return showChecked(out);
  S.base = out.base;  // the file on disk is now ours
  await load();
  status("saved " + S.name);
};

function diskChanged(text) {
  changedOnDisk = true;
  $("banner").querySelector("span").textContent = (text || S.name + " changed on disk since it was loaded") +
    ": reload it (your unsaved edits here go), or keep editing and save nothing.";
  $("banner").hidden = false;
  updateSave();
}
$("reload").onclick = load;
setInterval(async () => {
  if (!S || changedOnDisk) return;
  const [, out] = await call("api/disk");
  if (out.disk !== S.base) diskChanged();
}, 1500);

// Pictures dropped on the page join the brand's folder (never replacing one).
document.addEventListener("dragover", (e) => e.preventDefault());
document.addEventListener("drop", async (e) => {
  e.preventDefault();
  for (const f of e.dataTransfer.files) {
    const r = await fetch("api/picture?name=" + encodeURIComponent(f.name), { method: "POST", body: f });
    const out = await r.json();
    status(r.ok ? f.name + " added to the brand's folder" : out.text, !r.ok);
    if (r.ok) $("pics").replaceChildren(...out.pictures.map((p) => el("option", { value: p })));
  }
});

load();
