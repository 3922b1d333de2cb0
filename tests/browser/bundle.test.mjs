// A grass bundle in the page: its panel procedure enables the "Max height" field and spinner
// exactly while "Max height?" is ticked, and the height it then takes limits the tuft.
import { args, check, nextUpdate, open, rollout, run } from './harness.mjs';

run(async () => {
  const { page, close } = await open({ nodes: [{ class: 'GrassBundle', name: 'Tuft01' }] }, { dir: args.out });
  const panel = rollout(page, 102);
  const box = panel.getByRole('checkbox', { name: 'Max height?' });
  const field = panel.locator('[data-control="1520"]');
  const up = panel.locator('[data-control="1521"] .up');
  check(!(await box.isChecked()) && await field.isDisabled() && await up.isDisabled(),
        '"Max height" starts disabled, as the template has it');

  await nextUpdate(page, () => box.check());
  check(await field.isEnabled() && await up.isEnabled(), 'ticking "Max height?" enables its field and spinner');

  const top = () => page.evaluate(() => window.gramora.viewport.bounds.max.y);
  const before = await top();
  await nextUpdate(page, async () => { await field.fill('2'); await field.press('Enter'); });
  const after = await top();
  check(after < before, `a max height of 2 shortens the tuft's blades (${before.toFixed(2)} -> ${after.toFixed(2)})`);

  await nextUpdate(page, () => box.uncheck());
  check(await field.isDisabled() && await up.isDisabled(), 'unticking disables them again');
  check(Math.abs(await top() - before) < 1e-4, 'and the tuft grows back to its full height');
  await close();
});
