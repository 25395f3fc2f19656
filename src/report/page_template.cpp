// The page tesk.html: the completed structure in a 3Dmol.js viewer with each
// input atom's local frame as arrows, and the per-atom table beside it. The
// writer fills in @TITLE@, @LIBRARY@ (3Dmol.js itself) and @DATA@ (the run's
// atoms, bonds and rows as JSON). window.teskReport tells a test what was
// drawn.
#include "report/report_page.hpp"

namespace tesk {

const char* const kPageTemplate = R"PAGE(<!DOCTYPE html>
<html lang="en">
<head>
<meta charset="utf-8">
<title>TESK report: @TITLE@</title>
<style>
body { margin: 0; font: 13px/1.35 system-ui, sans-serif; color: #222; display: flex; height: 100vh; }
#view { flex: 1 1 60%; position: relative; min-width: 300px; }
#viewmsg { position: absolute; top: 40%; left: 8%; right: 8%; text-align: center; color: #a00; }
#side { flex: 1 1 40%; display: flex; flex-direction: column; border-left: 1px solid #ccc; min-width: 380px; }
header { padding: 6px 10px; background: #f4f4f4; border-bottom: 1px solid #ccc; }
#notes div { color: #a40; }
#error { color: #b00; font-weight: bold; }
.legend i { display: inline-block; width: 10px; height: 10px; margin: 0 3px 0 8px; }
#filter { margin: 6px 10px; padding: 4px; }
#tablewrap { flex: 1; overflow: auto; }
table { border-collapse: collapse; width: 100%; }
th, td { padding: 2px 6px; text-align: left; border-bottom: 1px solid #eee; white-space: nowrap; }
th { position: sticky; top: 0; background: #fafafa; }
tbody tr { cursor: pointer; }
tbody tr:hover { background: #eef; }
tr.nf td { color: #b00; }
tr.nf td:first-child::before { content: "\26A0  "; }
tr.sel { background: #ffef9e !important; }
#detail { max-height: 38%; overflow: auto; border-top: 1px solid #ccc; padding: 6px 10px; background: #fffdf5; }
#detail table td { border: none; padding: 1px 6px; }
</style>
</head>
<body>
<div id="view"><div id="viewmsg"></div></div>
<div id="side">
<header>
<b>TESK report</b> &mdash; <span id="title"></span>
<div id="summary"></div>
<div id="error"></div>
<div class="legend">Axes:<i style="background:#e00"></i>X<i style="background:#0a0"></i>Y<i style="background:#00d"></i>Z<i style="background:#f90;border-radius:5px"></i>dummy atom<i style="background:#c0f;border-radius:5px"></i>no databank entry</div>
<div id="notes"></div>
</header>
<input id="filter" type="search" placeholder="Filter: label, axes, symmetry, group, databank outcome">
<div id="tablewrap"><table>
<thead><tr><th>Atom</th><th>Axes</th><th>Site sym.</th><th>Kappa set</th><th>Group</th><th>Databank</th></tr></thead>
<tbody id="rows"></tbody>
</table></div>
<div id="detail">Click a row to centre its atom and show its frame.</div>
</div>
<script>@LIBRARY@</script>
<script id="tesk-data" type="application/json">@DATA@</script>
<script>
(function () {
  "use strict";
  var D = JSON.parse(document.getElementById("tesk-data").textContent);
  // Rows come as arrays with the shared texts numbered in D.strings.
  var S = D.strings;
  D.rows = D.rows.map(function (a) {
    return {i: a[0], label: D.atoms[a[0]][0], axes: a[1], sym: S[a[2]], kset: a[3], group: S[a[4]],
            rule: S[a[5]], db: S[a[6]], nf: a[7] === 1, f: a.slice(8, 17), nearest: a[17]};
  });
  var R = window.teskReport = {
    inputAtoms: D.inputAtoms, treatedAtoms: D.rows.length, framesDrawn: 0,
    frameLimit: D.frameLimit, viewer: false, ready: false, selected: null
  };
  var AXIS_COLOURS = ["#e00", "#0a0", "#00d"], ARROW = 0.4;
  var viewer = null, highlight = null, rowOfAtom = {};
  function $(id) { return document.getElementById(id); }
  function note(text) { var d = document.createElement("div"); d.textContent = text; $("notes").appendChild(d); }

  $("title").textContent = D.title;
  $("summary").textContent = D.inputAtoms + " input atoms, " + D.atoms.length +
      " in the completed structure, " + D.dummies.length + " dummy atoms" +
      (D.databank ? "; databank: " + D.databank.found + " found, " + D.databank.not_found + " not found" : "");
  if (D.error) $("error").textContent = "The run stopped: " + D.error.routine + ": " + D.error.message +
      " (" + D.rows.length + " of " + D.inputAtoms + " input atoms treated).";
  D.rows.forEach(function (r, k) { rowOfAtom[r.i] = k; });

  function add(a, e, s) { return {x: a.x + s * e[0], y: a.y + s * e[1], z: a.z + s * e[2]}; }
  function frameArrows(shapes, r, radius, length) {
    var a = D.atoms[r.i], o = {x: a[2], y: a[3], z: a[4]};
    for (var k = 0; k < 3; k++)
      shapes[k].addArrow({start: o, end: add(o, r.f.slice(3 * k, 3 * k + 3), length),
                          radius: radius, radiusRatio: 2.2, mid: 0.72});
  }
  function axisShapes() {
    return AXIS_COLOURS.map(function (c) { return viewer.addShape({color: c}); });
  }

  // Asked before 3Dmol.js is, which without WebGL throws something that is
  // not an Error and has no message.
  function webglOffered() {
    try {
      var c = document.createElement("canvas");
      return !!(window.WebGLRenderingContext && (c.getContext("webgl") || c.getContext("experimental-webgl")));
    } catch (e) {
      return false;
    }
  }

  function buildViewer() {
    if (typeof $3Dmol === "undefined") {
      $("viewmsg").textContent = D.libraryMissing || "The 3-D view needs 3Dmol.js, which this page does not carry.";
      return;
    }
    if (!webglOffered()) {
      $("viewmsg").textContent = "This browser offers no WebGL, so there is no 3-D view; the table and the details still work.";
      return;
    }
    viewer = $3Dmol.createViewer($("view"), {backgroundColor: "white"});
    var atoms = D.atoms.map(function (a, i) {
      return {elem: a[1] || "X", atom: a[0], x: a[2], y: a[3], z: a[4], index: i, serial: i, bonds: [], bondOrder: []};
    });
    for (var b = 0; b + 1 < D.bonds.length; b += 2) {
      var p = D.bonds[b], q = D.bonds[b + 1];
      atoms[p].bonds.push(q); atoms[p].bondOrder.push(1);
      atoms[q].bonds.push(p); atoms[q].bondOrder.push(1);
    }
    var model = viewer.addModel();
    model.addAtoms(atoms);
    var large = atoms.length > D.stickLimit;
    viewer.setStyle({}, large ? {line: {}} : {stick: {radius: 0.07}, sphere: {scale: 0.12}});
    if (large) note("More than " + D.stickLimit + " atoms: bonds are drawn as lines.");
    model.setClickable({}, true, function (atom) { if (atom.index in rowOfAtom) select(rowOfAtom[atom.index]); });

    var shapes = axisShapes();
    for (var k = 0; k < D.rows.length && k < D.frameLimit; k++) { frameArrows(shapes, D.rows[k], 0.035, ARROW); R.framesDrawn++; }
    if (D.rows.length > D.frameLimit)
      note("Frames are drawn for the first " + D.frameLimit + " of " + D.rows.length +
           " atoms; clicking a row draws that atom's frame.");
    var dummies = viewer.addShape({color: "#f90"});
    D.dummies.forEach(function (d) { dummies.addSphere({center: {x: d[1], y: d[2], z: d[3]}, radius: 0.1}); });
    var missing = viewer.addShape({color: "#c0f", alpha: 0.35});
    D.rows.forEach(function (r) {
      if (r.nf) { var a = D.atoms[r.i]; missing.addSphere({center: {x: a[2], y: a[3], z: a[4]}, radius: 0.45}); }
    });
    if (D.rows.length <= D.labelLimit) {
      D.rows.forEach(function (r) {
        var a = D.atoms[r.i];
        viewer.addLabel(r.label, {position: {x: a[2], y: a[3], z: a[4]}, fontSize: 11, fontColor: "black",
                                  showBackground: false, inFront: true});
      });
    } else {
      note("More than " + D.labelLimit + " input atoms: a label is shown for the selected atom only.");
    }
    viewer.zoomTo();
    viewer.zoom(1.3);
    viewer.render();
    R.viewer = true;
  }

  function cell(tr, text) { var td = document.createElement("td"); td.textContent = text; tr.appendChild(td); }
  function rowText(r) { return [r.label, r.axes, r.sym, String(r.kset), r.group, r.db].join(" ").toLowerCase(); }
  var texts = D.rows.map(rowText);
  function fillTable() {
    var body = $("rows"), words = $("filter").value.toLowerCase().split(/\s+/).filter(Boolean), shown = 0, total = 0;
    body.textContent = "";
    for (var k = 0; k < D.rows.length; k++) {
      if (!words.every(function (w) { return texts[k].indexOf(w) >= 0; })) continue;
      total++;
      if (shown >= D.rowLimit) continue;
      var r = D.rows[k], tr = document.createElement("tr");
      [r.label, r.axes, r.sym, r.kset, r.group, r.db].forEach(function (t) { cell(tr, t); });
      if (r.nf) tr.className = "nf";
      if (R.selected === k) tr.className += " sel";
      tr.dataset.row = k;
      tr.addEventListener("click", function () { select(Number(this.dataset.row)); });
      body.appendChild(tr);
      shown++;
    }
    if (total > shown) {
      var more = document.createElement("tr");
      cell(more, "… " + (total - shown) + " more rows: narrow the filter");
      body.appendChild(more);
    }
  }

  function detail(r) {
    var box = $("detail"), h = document.createElement("div"), t = document.createElement("table");
    box.textContent = "";
    h.innerHTML = "<b></b>";
    h.firstChild.textContent = r.label + ": " + r.axes + ", site symmetry " + r.sym + ", rule: " + r.rule;
    box.appendChild(h);
    var line = document.createElement("div");
    line.textContent = "Databank: " + r.db;
    box.appendChild(line);
    if (!r.nearest) return;
    var cap = document.createElement("div");
    cap.textContent = "Nearest entries of the element (fewest differing descriptors):";
    box.appendChild(cap);
    r.nearest.forEach(function (e) {
      var tr = document.createElement("tr");
      cell(tr, "line " + e.line); cell(tr, e.comment);
      cell(tr, e.differences.length + (e.differences.length === 1 ? " difference" : " differences"));
      t.appendChild(tr);
      e.differences.forEach(function (d) {
        var dr = document.createElement("tr");
        cell(dr, ""); cell(dr, d.descriptor); cell(dr, "atom " + d.atom + ", entry " + d.entry);
        t.appendChild(dr);
      });
    });
    box.appendChild(t);
  }

  function select(k) {
    R.selected = k;
    var r = D.rows[k];
    fillTable();
    detail(r);
    if (!viewer) return;
    if (highlight) highlight.forEach(function (s) { viewer.removeShape(s); });
    if (D.rows.length > D.labelLimit) viewer.removeAllLabels();
    var a = D.atoms[r.i], shapes = axisShapes(), ring = viewer.addShape({color: "#fd0", alpha: 0.5});
    frameArrows(shapes, r, 0.06, 2 * ARROW);
    ring.addSphere({center: {x: a[2], y: a[3], z: a[4]}, radius: 0.35});
    highlight = shapes.concat([ring]);
    if (D.rows.length > D.labelLimit)
      viewer.addLabel(r.label, {position: {x: a[2], y: a[3], z: a[4]}, fontSize: 12, inFront: true});
    viewer.center({index: r.i}, 400);
    viewer.render();
  }

  $("filter").addEventListener("input", fillTable);
  if (D.libraryMissing) note(D.libraryMissing);
  fillTable();
  try { buildViewer(); } catch (e) {
    viewer = null;
    $("viewmsg").textContent = "The 3-D view failed (" + (e && e.message ? e.message : String(e)) +
      "); the table and the details still work.";
  }
  R.ready = true;
})();
</script>
</body>
</html>
)PAGE";

}  // namespace tesk
