// The default scene in the page: the mower's panel procedure enables the spinners of its shape,
// the frame slider grows the mown trail, the render button shows the rendered image, and the
// screenshot for docs/serve.md.
import path from 'node:path';
import { args, check, counts, nextUpdate, open, rollout, run } from './harness.mjs';

run(async () => {
  // Multisampled as a graphics card draws it, although this browser draws on the processor.
  const { page, close } = await open(null, { query: '?antialias=1' });
  check(await page.evaluate(() => window.gramora.viewport.antialias), '"?antialias=1" turns multisampling on');
  const cutNow = async () => Number((await counts(page)).cut);
  check(Number((await counts(page)).faces) > 0, 'the default lawn is drawn with its faces counted');
  check(await page.evaluate(() => window.gramora.viewport.gizmos.children.length) > 0, 'the mower gizmo is drawn');
  // The screenshot for docs/serve.md: the lawn's panels beside the mown lawn at frame 30.
  await rollout(page, 105).waitFor();
  await page.screenshot({ path: path.join(args.out, 'serve.png') });

  // The frame slider: the mower crosses the lawn from frame 0 to 30, combining its cuts.
  const cut30 = await cutNow();
  await nextUpdate(page, () => page.locator('#frame').fill('0'));
  const cut0 = await cutNow();
  check(cut0 > 0 && cut30 > 2 * cut0, `the mown trail grows with the frame (${cut0} cut vertices at 0, ${cut30} at 30)`);

  // The mower's panel: dialog 107 with its own procedure's enabling.
  await page.getByRole('tab', { name: 'LawnMower', exact: true }).click();
  const mower = rollout(page, 107);
  const radiusUp = mower.locator('[data-control="1009"] .up');
  const widthUp = mower.locator('[data-control="1016"] .up');
  await radiusUp.waitFor();
  check(await radiusUp.isEnabled() && await widthUp.isDisabled(), 'circular mower: Radius spinner on, Width spinner off');
  await nextUpdate(page, () => mower.getByRole('radio', { name: 'Rectangular' }).check());
  await page.waitForFunction(() => !document.querySelector('[data-control="1016"] .up').disabled);
  check(await radiusUp.isDisabled() && await widthUp.isEnabled(), 'rectangular mower: Width spinner on, Radius spinner off');
  check(await cutNow() === 0, 'a rectangle of size 0 cuts nothing');

  // The render button shows what `gramora render` makes.
  await page.getByRole('button', { name: 'Render' }).first().click();
  await page.locator('#render-width').fill('160');
  await page.locator('#render-height').fill('120');
  await page.locator('#render-spp').fill('1');
  await page.locator('#render-go').click();
  await page.waitForFunction(() => document.getElementById('render-image').naturalWidth === 160);
  check(true, 'the render button shows a 160 x 120 image');
  await close();
});
