// A scene of one grass blade in the page: its panel (dialog 101) drives the mesh through the
// spinners and edit fields, and a drag in the top view creates a second blade through the
// class's creation callback.
import { args, check, counts, nextUpdate, open, rollout, run } from './harness.mjs';

run(async () => {
  const { page, close } = await open({ nodes: [{ class: 'GrassBlade', name: 'Blade01' }] }, { dir: args.out });
  const panel = rollout(page, 101);
  check(await panel.locator('.static', { hasText: 'Thining factor' }).count() === 1, 'the panel shows the template\'s labels');
  check((await counts(page)).faces === '29', 'a new blade has 29 faces');

  // "#Weldings": one click up on its spinner adds a column of faces.
  await nextUpdate(page, () => panel.getByRole('button', { name: '#Weldings up' }).click());
  check((await counts(page)).faces === '58', 'one welding: 58 faces');
  check(await panel.getByRole('textbox', { name: '#Weldings' }).inputValue() === '1', 'the edit field shows 1');

  // Typing a size into its edit field.
  const before = await page.evaluate(() => window.gramora.viewport.bounds.max.y);
  const size = panel.getByRole('textbox', { name: 'Size' });
  await nextUpdate(page, async () => { await size.fill('2'); await size.press('Enter'); });
  const after = await page.evaluate(() => window.gramora.viewport.bounds.max.y);
  check(Math.abs(after / before - 2) < 0.01, `size 2 doubles the blade's height (${before.toFixed(2)} -> ${after.toFixed(2)})`);

  // A drag in the top view creates a second blade, its size from the drag's length.
  await page.getByRole('button', { name: 'Top view' }).click();
  await page.locator('#topview-drawing svg').waitFor();
  await page.locator('#create-class').selectOption('GrassBlade');
  const box = await page.locator('#topview-drawing svg').boundingBox();
  const x = box.x + box.width / 2, y = box.y + box.height / 2;
  await nextUpdate(page, async () => {
    await page.mouse.move(x, y);
    await page.mouse.down();
    await page.mouse.move(x + 60, y, { steps: 5 });
    await page.mouse.up();
  });
  const nodes = await page.locator('#node-list option').allTextContents();
  check(nodes.length === 2 && nodes[1].startsWith('Grass blade'), `the drag made a second blade (${nodes.join(', ')})`);
  const sizeNow = Number(await panel.getByRole('textbox', { name: 'Size' }).inputValue());
  check(sizeNow > 0, `the new blade's panel is open with the size from the drag (${sizeNow})`);
  check((await counts(page)).faces === String(58 + 29), 'both blades are drawn');
  await close();
});
