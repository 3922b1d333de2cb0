// A lawn in the page, through its own panel procedure: "# Blades X" rebuilds it, the build-type
// radio buttons swap the blade and bundle rollouts, the vector-field button opens a file dialog
// that offers the scene's folder only, and a drag in the top view creates a second lawn through
// its creation callback. Last, the time from a spinner change to the new mesh drawn for a
// 200 x 200 lawn, written to perf.json (measured, not asserted).
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { args, check, counts, nextUpdate, open, rollout, run } from './harness.mjs';

const lawn = (n) => ({ class: 'Lawn', name: 'Lawn01', params: { 11: 20, 12: 20, '# Blades X': n, '# Blades Y': n } });

run(async () => {
  const dir = path.join(args.out, 'scene');
  fs.mkdirSync(dir, { recursive: true });
  for (const f of ['app_wind.dat', 'app_wind.raw']) fs.copyFileSync(path.join(args.data, f), path.join(dir, f));
  const { page, close } = await open({ nodes: [lawn(10)] }, { dir });
  const global = rollout(page, 104), blades = rollout(page, 105), bundles = rollout(page, 103);

  // "# Blades X" through its spinner: the procedure clears meshBuilt, the lawn rebuilds.
  const faces = Number((await counts(page)).faces);
  await nextUpdate(page, () => blades.getByRole('button', { name: '# Blades X up' }).click());
  const more = Number((await counts(page)).faces);
  check(more > faces, `one more column of blades: ${faces} -> ${more} faces`);

  // The build type swaps which element rollout is open.
  check(await blades.locator('.rollout-body').isVisible() && await bundles.locator('.rollout-body').isHidden(),
        'single blades: the blade rollout is open, the bundle rollout rolled up');
  await nextUpdate(page, () => global.getByRole('radio', { name: 'Bundles' }).check());
  await bundles.locator('.rollout-body').waitFor();
  check(await blades.locator('.rollout-body').isHidden(), 'bundles: the rollouts swap');
  await nextUpdate(page, () => global.getByRole('radio', { name: 'Single blades' }).check());
  await blades.locator('.rollout-body').waitFor();
  check(await bundles.locator('.rollout-body').isHidden(), 'single blades again: they swap back');

  // The vector-field button: the procedure's file dialog, offering the scene's folder only.
  const fieldButton = global.locator('[data-control="3071"]');
  check(await fieldButton.textContent() === 'None', 'no vector field: the button says None');
  await fieldButton.click();
  const dialog = page.locator('#file-dialog');
  await dialog.waitFor();
  check(await page.locator('#file-title').textContent() === 'Vectorfield data', 'the dialog has the procedure\'s title');
  const offered = await page.locator('#file-list option').allTextContents();
  check(offered.length === 1 && offered[0] === 'app_wind.dat', `it offers the .dat files of the scene's folder (${offered})`);
  await nextUpdate(page, () => page.locator('#file-open').click());
  const shown = await fieldButton.textContent();
  check(shown.endsWith('/scene/app_wind.dat'), `the button shows the picked file (${shown})`);
  check(await global.getByRole('checkbox', { name: 'Vectorfield:' }).isChecked(), '"Vectorfield:" is switched on');
  await fieldButton.click();
  await dialog.waitFor();
  await nextUpdate(page, () => page.locator('#file-dialog button[value="cancel"]').click());
  check(!(await global.getByRole('checkbox', { name: 'Vectorfield:' }).isChecked()), 'cancelling switches it off');

  // A drag in the top view creates a second lawn through the lawn's creation callback.
  await page.getByRole('button', { name: 'Top view' }).click();
  const svg = page.locator('#topview-drawing svg');
  await svg.waitFor();
  await page.locator('#create-class').selectOption('Lawn');
  const box = await svg.boundingBox();
  const x = box.x + box.width * 0.6, y = box.y + box.height * 0.3;
  await nextUpdate(page, async () => {
    await page.mouse.move(x, y);
    await page.mouse.down();
    await page.mouse.move(x + 80, y + 60, { steps: 6 });
    await page.mouse.up();
  });
  const nodes = await page.locator('#node-list option').allTextContents();
  check(nodes.length === 2 && nodes[1].includes('(Lawn)'), `the drag made a second lawn (${nodes.join(', ')})`);
  const length = Number(await rollout(page, 105).getByRole('textbox', { name: 'Length', exact: true }).inputValue());
  check(length > 0, `its panels are open, its length from the drag (${length})`);
  await close();

  // The time from a spinner change to the new mesh drawn, 200 x 200 blades. Without a graphics
  // card each draw takes seconds, hence the long waits.
  const big = await open({ nodes: [lawn(200)] }, { dir: path.join(args.out, 'perf'), timeout: 240000 });
  const runs = [];
  for (const name of ['# Blades X up', '# Blades X down', '# Blades X up']) {
    runs.push(await nextUpdate(big.page, () => rollout(big.page, 105).getByRole('button', { name }).click()));
  }
  const median = [...runs].sort((a, b) => a.totalMs - b.totalMs)[1];
  const device = await big.page.evaluate(() => window.gramora.viewport.device);
  fs.writeFileSync(path.join(args.out, 'perf.json'),
                   JSON.stringify({ device, loadAverage: os.loadavg(), runs, median }, null, 2));
  const ms = (v) => v.toFixed(0);
  console.log(`200 x 200 lawn, spinner to drawn: median ${ms(median.totalMs)} ms (action ${ms(median.waitMs)}, ` +
              `build ${ms(median.stats.buildMs)}, evaluate ${ms(median.stats.evaluateMs)}, glb ${ms(median.stats.glbMs)}, ` +
              `transfer ${ms(median.transferMs)}, parse ${ms(median.parseMs)}, draw ${ms(median.drawMs)}; ` +
              `${(median.bytes / 1e6).toFixed(0)} MB, ${median.stats.faces} faces; ${device.name})`);
  await big.close();
});
