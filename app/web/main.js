// The page of `gramora serve`: the host's command panel (the plug-in's own rollouts, drawn from
// what the server reports) beside a live 3-D view of the scene. Every edit goes to the server,
// which runs it through the plug-in's parameter maps and panel procedures; the view then reloads
// the glb the server exports.
import { Viewport } from './viewport.js';
import { renderPanels } from './panels.js';
import { TopView } from './topview.js';
import { pickFile, pickMap, showRender } from './dialogs.js';

const $ = (id) => document.getElementById(id);

// One request to the server; throws an Error with the server's message when it refuses.
export async function call(method, path, body) {
  const init = { method, headers: {} };
  if (method === 'POST') {
    init.headers['Content-Type'] = 'application/json';
    init.body = JSON.stringify(body ?? {});
  }
  const res = await fetch(path, init);
  if (!res.ok) {
    let message = `${res.status} ${res.statusText}`;
    try { message = (await res.json()).error || message; } catch { /* not JSON */ }
    throw new Error(message);
  }
  return res;
}
const getJson = async (path) => (await call('GET', path)).json();
const postJson = async (path, body) => (await call('POST', path, body)).json();

const state = { info: null, nodes: [], node: 0, entry: 0, frame: 0, panels: null };
const viewport = new Viewport($('viewport'));
const topView = new TopView($('topview-drawing'), $('create-class'), createByDrag);
// What the page has done lately, for people and for the browser tests.
window.gramora = { state, viewport, updates: [], ready: false };

function status(text, isError = false) {
  const s = $('status');
  s.textContent = text;
  s.classList.toggle('error', isError);
}

function report(error) {
  status(error.message || String(error), true);
}

// Mesh reloads are coalesced: while one runs, later requests collapse into one more.
let loading = null;
let reloadWanted = null;
async function refreshView(started = performance.now(), cause = 'frame') {
  if (loading) {
    reloadWanted = { started, cause };
    return loading;
  }
  loading = (async () => {
    try {
      const frame = state.frame;
      const loadStart = performance.now();
      const timing = await viewport.load(frame, getJson(`/api/gizmos?frame=${frame}`));
      const total = performance.now() - started;
      const update = { cause, frame, totalMs: total, waitMs: loadStart - started, loadMs: total - (loadStart - started),
                       ...timing };
      window.gramora.updates.push(update);
      showCounts(timing.stats);
      status(`${cause}: drawn in ${total.toFixed(0)} ms (build ${timing.stats.evaluateMs.toFixed(0)}, ` +
             `glb ${timing.stats.glbMs.toFixed(0)}, transfer ${timing.transferMs.toFixed(0)}, ` +
             `parse ${timing.parseMs.toFixed(0)}, draw ${timing.drawMs.toFixed(0)} ms)`);
      if (!topView.element.parentElement.hidden) await topView.load(frame);
    } catch (e) {
      report(e);
    } finally {
      loading = null;
    }
  })();
  await loading;
  if (reloadWanted) {
    const again = reloadWanted;
    reloadWanted = null;
    await refreshView(again.started, again.cause);
  }
}

function showCounts(stats) {
  const n = (v) => v.toLocaleString('en-US');
  $('counts').textContent = `${n(stats.vertices)} vertices · ${n(stats.faces)} faces · ${n(viewport.cutVertices)} cut`;
  $('counts').dataset.vertices = stats.vertices;
  $('counts').dataset.faces = stats.faces;
  $('counts').dataset.cut = viewport.cutVertices;
}

function showNodes() {
  const list = $('node-list');
  list.replaceChildren();
  for (const n of state.nodes) {
    const depth = (() => { let d = 0; for (let p = n.parent; p !== null; p = state.nodes[p].parent) d++; return d; })();
    const label = `${'  '.repeat(depth)}${n.name}${n.group ? ' (group)' : ` (${n.class})`}`;
    list.append(new Option(label, n.index, false, n.index === state.node));
  }
}

function showPanels(panels) {
  state.panels = panels;
  state.entry = panels.entry;
  const stack = $('stack');
  stack.replaceChildren();
  // The modifier stack, top first, as the host's modify panel lists it.
  for (const item of [...panels.stack].reverse()) {
    const b = document.createElement('button');
    b.type = 'button';
    b.textContent = item.class;
    b.setAttribute('role', 'tab');
    b.setAttribute('aria-selected', item.entry === panels.entry);
    b.addEventListener('click', () => selectNode(state.node, item.entry).catch(report));
    stack.append(b);
  }
  renderPanels($('rollouts'), panels, { act, setPageOpen, chooseMap });
}

async function selectNode(index, entry = 0) {
  state.node = index;
  showNodes();
  showPanels(await getJson(`/api/nodes/${index}/panels?entry=${entry}&frame=${state.frame}`));
}

// A user action on a control; the reply is the panels after it, or a file dialog the panel
// procedure opened, which the person answers before the action ends.
async function act(control, page, action) {
  const started = performance.now();
  try {
    let reply = await postJson(`/api/nodes/${state.node}/controls/${control}`,
                               { entry: state.entry, page, frame: state.frame, ...action });
    if (reply.dialog) reply = await answerDialog(reply.dialog);
    if (reply.rollouts) showPanels(reply);
    await refreshView(started, `control ${control}`);
  } catch (e) {
    report(e);
    selectNode(state.node, state.entry).catch(() => {});
  }
}

async function answerDialog(dialog) {
  const path = await pickFile(dialog, (pattern) => getJson(`/api/files?pattern=${encodeURIComponent(pattern)}`));
  return postJson('/api/dialog', path === null ? { cancel: true } : { path });
}

async function setPageOpen(page, open) {
  try {
    showPanels(await postJson(`/api/nodes/${state.node}/pages/${page}`, { entry: state.entry, open }));
  } catch (e) {
    report(e);
  }
}

async function chooseMap(control, page) {
  const spec = await pickMap(() => getJson('/api/files?pattern=*.png'));
  if (spec !== undefined) await act(control, page, { map: spec });
}

async function createByDrag(request) {
  const started = performance.now();
  try {
    const reply = await postJson('/api/create', request);
    state.info = reply.info;
    state.nodes = reply.nodes;
    state.node = reply.node;
    showNodes();
    showPanels(reply.panels);
    await refreshView(started, `created ${request.class}`);
  } catch (e) {
    report(e);
  }
}

function showInfo() {
  const info = state.info;
  $('scene-name').textContent = info.scene;
  const [lo, hi] = info.frames;
  const slider = $('frame');
  slider.min = lo;
  slider.max = hi;
  slider.value = state.frame;
  $('frame-value').textContent = state.frame;
  $('frame-box').hidden = !(info.animated && hi > lo);
}

async function start() {
  state.info = await getJson('/api/info');
  state.frame = state.info.time;
  state.nodes = await getJson('/api/nodes');
  showInfo();
  viewport.setLook(state.info.render);
  topView.setClasses(state.info.classes);
  const first = state.nodes.findIndex((n) => !n.group);
  if (state.nodes.length > 0) await selectNode(first < 0 ? 0 : first);
  await refreshView(performance.now(), 'scene');
  viewport.frameAll(state.info.render.camera);
  window.gramora.ready = true;
}

$('node-list').addEventListener('change', (e) => selectNode(Number(e.target.value)).catch(report));
$('frame').addEventListener('input', (e) => {
  state.frame = Number(e.target.value);
  $('frame-value').textContent = state.frame;
  refreshView(performance.now(), `frame ${state.frame}`);
  if (state.nodes.length > 0) selectNode(state.node, state.entry).catch(report);
});
$('view-toggle').addEventListener('click', async () => {
  const top = $('topview');
  top.hidden = !top.hidden;
  $('viewport').hidden = !top.hidden;
  $('view-toggle').textContent = top.hidden ? 'Top view' : '3-D view';
  if (!top.hidden) await topView.load(state.frame).catch(report);
  else viewport.resize();
});
$('render-button').addEventListener('click', () =>
  showRender(state.info.render, (settings) => call('POST', '/api/render', { frame: state.frame, ...settings })));
$('save-button').addEventListener('click', async () => {
  try {
    const body = state.info.scene === '(default scene)' ? { path: prompt('Save as (a .json file in the scene\'s folder)', 'scene.json') } : {};
    if (body.path === null) return;
    const reply = await postJson('/api/save', body);
    status(`saved ${reply.saved}`);
  } catch (e) {
    report(e);
  }
});

start().catch(report);
