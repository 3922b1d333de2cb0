// The rollouts of the command panel, drawn from the server's description of the plug-in's own
// dialog templates: every control at its rectangle (already in pixels), with its text, value and
// enabled state. Nothing here knows a class: a new dialog shows up by itself.

function make(tag, className, text) {
  const e = document.createElement(tag);
  if (className) e.className = className;
  if (text !== undefined) e.textContent = text;
  return e;
}

function place(e, [x, y, w, h]) {
  Object.assign(e.style, { left: `${x}px`, top: `${y}px`, width: `${w}px`, height: `${h}px` });
}

// The static text left of a field on the same row: what a person reads as the field's name.
function labelFor(c, controls) {
  const [x, y, , h] = c.rect;
  let best = null;
  for (const s of controls) {
    if (s.kind !== 'static') continue;
    const [sx, sy, sw, sh] = s.rect;
    const sameRow = sy < y + h && y < sy + sh;
    if (sameRow && sx + sw <= x + 2 && (!best || s.rect[0] > best.rect[0])) best = s;
  }
  return best ? best.text : '';
}

function controlElement(c, rollout, handlers) {
  const page = rollout.page;
  const act = (action) => handlers.act(c.id, page, action);
  let e;
  switch (c.kind) {
    case 'static':
      e = make('div', 'static', c.text);
      break;
    case 'groupbox': {
      e = make('fieldset', 'groupbox');
      e.append(make('legend', '', c.text));
      break;
    }
    case 'edit': {
      e = make('input', 'edit');
      e.type = 'text';
      e.value = c.text;
      e.setAttribute('aria-label', labelFor(c, rollout.controls) || `field ${c.id}`);
      // Enter and leaving the field send the value once; a field already replaced by the panels
      // that came back sends nothing.
      let sent = c.text;
      const commit = () => {
        if (!e.isConnected) return;
        const v = Number(e.value.trim());
        if (e.value.trim() === '' || !Number.isFinite(v)) { e.value = sent; return; }
        if (e.value !== sent) {
          sent = e.value;
          act({ value: v });
        }
      };
      e.addEventListener('keydown', (ev) => { if (ev.key === 'Enter') commit(); });
      e.addEventListener('blur', commit);
      break;
    }
    case 'spinner': {
      e = make('div', 'spinner');
      const name = labelFor(c, rollout.controls) || `spinner ${c.id}`;
      for (const [cls, sign, glyph] of [['up', 1, '▲'], ['down', -1, '▼']]) {
        const b = make('button', cls, glyph);
        b.type = 'button';
        b.disabled = !c.enabled;
        b.setAttribute('aria-label', `${name} ${cls}`);
        b.addEventListener('click', () => act({ value: c.value + sign * c.scale }));
        e.append(b);
      }
      e.dataset.value = c.value;
      break;
    }
    case 'checkbox':
    case 'radio': {
      e = make('label', c.kind);
      const input = make('input');
      input.type = c.kind;
      input.name = `page${page}`;
      input.checked = c.checked;
      input.disabled = !c.enabled;
      input.addEventListener('change', () => act({}));
      e.append(input, document.createTextNode(c.text));
      break;
    }
    case 'button':
    case 'pushbutton': {
      e = make('button', 'button', c.text);
      e.type = 'button';
      e.title = c.text;
      const isMap = c.param && c.param.type === 'texmap';
      e.addEventListener('click', () => (isMap ? handlers.chooseMap(c.id, page) : act({})));
      break;
    }
    default:
      return null;
  }
  if ('disabled' in e && c.kind !== 'spinner') e.disabled = !c.enabled;
  e.classList.toggle('disabled', !c.enabled);
  if (c.id !== null) e.dataset.control = c.id;
  if (c.param) e.dataset.param = c.param.name;
  return e;
}

// Draws the rollouts into `container`; handlers.act(id, page, action), handlers.setPageOpen(page,
// open) and handlers.chooseMap(id, page) carry the person's actions back.
export function renderPanels(container, panels, handlers) {
  container.replaceChildren();
  for (const r of panels.rollouts) {
    const rollout = make('section', 'rollout');
    rollout.dataset.page = r.page;
    rollout.dataset.dialog = r.dialog;
    rollout.dataset.title = r.title;
    const title = make('button', 'rollout-title', `${r.open ? '−' : '+'} ${r.title}`);
    title.type = 'button';
    title.setAttribute('aria-expanded', r.open);
    title.addEventListener('click', () => handlers.setPageOpen(r.page, !r.open));
    const body = make('div', 'rollout-body');
    body.hidden = !r.open;
    Object.assign(body.style, { width: `${r.px[0]}px`, height: `${r.px[1]}px` });
    for (const c of r.controls) {
      const e = controlElement(c, r, handlers);
      if (!e) continue;
      place(e, c.px);
      body.append(e);
    }
    rollout.append(title, body);
    container.append(rollout);
  }
}
