// The page's dialogs: the file-open dialog a panel procedure asks for (offering only files in the
// scene's folder), the texture-map chooser of map buttons, and the rendered image.

const $ = (id) => document.getElementById(id);

// Resolves with the dialog's result once it closes.
function run(dialog) {
  return new Promise((resolve) => {
    dialog.addEventListener('close', () => resolve(dialog.returnValue), { once: true });
    dialog.returnValue = '';
    dialog.showModal();
  });
}

// The file-open dialog: `request` is what the procedure asked for (title, filters); listFiles
// (pattern) gives the matching files. Resolves with a path relative to the scene's folder, or
// null for a cancel.
export async function pickFile(request, listFiles) {
  $('file-title').textContent = request.title || 'Open';
  const filter = $('file-filter');
  filter.replaceChildren();
  const filters = request.filters.length ? request.filters : [{ name: 'All Files', pattern: '*.*' }];
  for (const f of filters) filter.append(new Option(`${f.name} (${f.pattern})`, f.pattern));
  const list = $('file-list');
  const fill = async () => {
    list.replaceChildren();
    try {
      for (const name of await listFiles(filter.value)) list.append(new Option(name, name));
    } catch (e) {
      list.append(new Option(`(${e.message})`, ''));
    }
    if (list.options.length) list.selectedIndex = 0;
  };
  filter.onchange = fill;
  list.ondblclick = () => $('file-dialog').close('open');
  await fill();
  const answer = await run($('file-dialog'));
  return answer === 'open' && list.value ? list.value : null;
}

// The map chooser: "None", the procedural maps, and the PNG files in the scene's folder. Resolves
// with a map description, null for "None", or undefined for a cancel.
export async function pickMap(listPngs) {
  const list = $('map-list');
  list.replaceChildren(new Option('None', 'null'));
  for (const kind of ['noise', 'gradient', 'checker', 'constant'])
    list.append(new Option(`Procedural: ${kind}`, JSON.stringify({ procedural: kind })));
  try {
    for (const name of await listPngs()) list.append(new Option(`Bitmap: ${name}`, JSON.stringify({ bitmap: name })));
  } catch { /* the procedural maps are still offered */ }
  list.selectedIndex = 0;
  list.ondblclick = () => $('map-dialog').close('ok');
  const answer = await run($('map-dialog'));
  return answer === 'ok' ? JSON.parse(list.value) : undefined;
}

// The render dialog: settings (defaults from the scene), a Render button that asks the server
// for the PNG `gramora render` writes, and the image.
export function showRender(defaults, render) {
  if (defaults) {
    $('render-width').value = defaults.width;
    $('render-height').value = defaults.height;
    $('render-spp').value = defaults.spp;
  }
  const go = async () => {
    const settings = { width: Number($('render-width').value), height: Number($('render-height').value),
                       spp: Number($('render-spp').value) };
    $('render-status').textContent = 'Rendering…';
    $('render-go').disabled = true;
    const started = performance.now();
    try {
      const res = await render(settings);
      const img = $('render-image');
      if (img.src) URL.revokeObjectURL(img.src);
      img.src = URL.createObjectURL(await res.blob());
      await img.decode();
      $('render-status').textContent = `${settings.width} × ${settings.height}, ${settings.spp} samples, ` +
        `${((performance.now() - started) / 1000).toFixed(1)} s`;
    } catch (e) {
      $('render-status').textContent = e.message;
    } finally {
      $('render-go').disabled = false;
    }
  };
  $('render-go').onclick = go;
  $('render-dialog').showModal();
  go();
}
