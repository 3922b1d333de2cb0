// The top view as `gramora build --viewport` draws it. A rectangle dragged on it creates an
// object of the chosen class through the class's own creation callback, replayed by the server in
// the same view: the page sends the drag's pixels and the view they were made in.

export class TopView {
  constructor(element, classSelect, onDrag) {
    this.element = element;
    this.classSelect = classSelect;
    this.onDrag = onDrag;
    this.view = null;
    this.svg = null;
    this.drag = null;
  }

  setClasses(classes) {
    this.classSelect.replaceChildren();
    for (const c of classes) this.classSelect.append(new Option(c.label || c.name, c.name));
    const lawn = classes.findIndex((c) => c.name === 'Lawn');
    if (lawn >= 0) this.classSelect.selectedIndex = lawn;
  }

  async load(frame) {
    const res = await fetch(`/api/topview?frame=${frame}`);
    const reply = await res.json();
    if (!res.ok) throw new Error(reply.error);
    this.view = { width: reply.width, height: reply.height, unitsPerPixel: reply.unitsPerPixel, center: reply.center };
    // The drawing is the server's own SVG of outlines; it holds no names or other text.
    const doc = new DOMParser().parseFromString(reply.svg, 'image/svg+xml');
    const svg = document.importNode(doc.documentElement, true);
    svg.setAttribute('viewBox', `0 0 ${reply.width} ${reply.height}`);
    svg.setAttribute('preserveAspectRatio', 'xMidYMid meet');
    svg.removeAttribute('width');
    svg.removeAttribute('height');
    this.rubber = document.createElementNS('http://www.w3.org/2000/svg', 'rect');
    this.rubber.setAttribute('class', 'rubber-band');
    svg.append(this.rubber);
    this.element.replaceChildren(svg);
    this.svg = svg;
    svg.addEventListener('pointerdown', (e) => this.press(e));
    svg.addEventListener('pointermove', (e) => this.move(e));
    svg.addEventListener('pointerup', (e) => this.release(e));
  }

  // The view's pixel under a pointer event (whole pixels, as the host's viewport takes them).
  pixel(e) {
    const p = this.svg.createSVGPoint();
    p.x = e.clientX;
    p.y = e.clientY;
    const q = p.matrixTransform(this.svg.getScreenCTM().inverse());
    return [Math.round(q.x), Math.round(q.y)];
  }

  press(e) {
    if (e.button !== 0 || !this.view) return;
    this.svg.setPointerCapture(e.pointerId);
    this.drag = { points: [this.pixel(e)], ctrl: e.ctrlKey };
    this.showRubber();
  }

  move(e) {
    if (!this.drag) return;
    const p = this.pixel(e);
    const last = this.drag.points[this.drag.points.length - 1];
    if (p[0] === last[0] && p[1] === last[1]) return;
    // The server takes at most 1000 points; a long drag keeps its first ones and the release.
    if (this.drag.points.length < 998) this.drag.points.push(p);
    else this.drag.points[this.drag.points.length - 1] = p;
    this.drag.ctrl = e.ctrlKey;
    this.showRubber();
  }

  release(e) {
    if (!this.drag) return;
    const drag = this.drag;
    this.drag = null;
    drag.points.push(this.pixel(e));
    drag.ctrl = drag.ctrl || e.ctrlKey;
    this.rubber.setAttribute('width', 0);
    this.onDrag({ class: this.classSelect.value, view: this.view, points: drag.points, ctrl: drag.ctrl });
  }

  showRubber() {
    const [a, b] = [this.drag.points[0], this.drag.points[this.drag.points.length - 1]];
    this.rubber.setAttribute('x', Math.min(a[0], b[0]));
    this.rubber.setAttribute('y', Math.min(a[1], b[1]));
    this.rubber.setAttribute('width', Math.abs(b[0] - a[0]));
    this.rubber.setAttribute('height', Math.abs(b[1] - a[1]));
  }
}
