// The 3-D view: the glb the server exports (the same file `gramora build` writes), lit and
// coloured from the blades' own texture coordinates (v from root to tip, the cut mark in _CUT),
// with orbit controls and the modifiers' gizmos as their own lines.
import * as THREE from 'three';
import { OrbitControls } from 'three/addons/controls/OrbitControls.js';
import { GLTFLoader } from 'three/addons/loaders/GLTFLoader.js';

const ROOT = new THREE.Color(0.03, 0.09, 0.015);
const TIP = new THREE.Color(0.24, 0.45, 0.09);
const MOWN = new THREE.Color(0.62, 0.58, 0.3);

// Z-up (the host) to Y-up (glTF and three.js), as the exporter turns the meshes.
const yUp = ([x, y, z]) => new THREE.Vector3(x, z, -y);

function grassMaterial() {
  const m = new THREE.MeshLambertMaterial({ side: THREE.DoubleSide });
  m.onBeforeCompile = (shader) => {
    shader.uniforms.rootColor = { value: ROOT };
    shader.uniforms.tipColor = { value: TIP };
    shader.uniforms.mownColor = { value: MOWN };
    shader.vertexShader = shader.vertexShader
      .replace('#include <common>', '#include <common>\nattribute float _cut;\nvarying float vBladeV;\nvarying float vCut;')
      .replace('#include <begin_vertex>', '#include <begin_vertex>\nvBladeV = uv.y;\nvCut = _cut;');
    shader.fragmentShader = shader.fragmentShader
      .replace('#include <common>',
               '#include <common>\nuniform vec3 rootColor;\nuniform vec3 tipColor;\nuniform vec3 mownColor;\nvarying float vBladeV;\nvarying float vCut;')
      .replace('vec4 diffuseColor = vec4( diffuse, opacity );',
               'vec3 grass = mix(rootColor, tipColor, clamp(vBladeV, 0.0, 1.0));\n' +
               'vec4 diffuseColor = vec4(vCut > 0.0 ? mix(grass, mownColor, 0.45) : grass, opacity);');
  };
  return m;
}

const nextFrame = () => new Promise((resolve) => requestAnimationFrame(() => resolve()));

// The name of the graphics device WebGL draws with, and whether it is the processor itself (a
// machine or browser without a graphics card): there multisampling doubles the seconds a large
// lawn takes to draw, so the view goes without it.
function graphicsDevice() {
  const gl = document.createElement('canvas').getContext('webgl2');
  if (!gl) return { name: '', software: false };
  const info = gl.getExtension('WEBGL_debug_renderer_info');
  const name = String(gl.getParameter(info ? info.UNMASKED_RENDERER_WEBGL : gl.RENDERER));
  gl.getExtension('WEBGL_lose_context')?.loseContext();
  return { name, software: /swiftshader|llvmpipe|softpipe|software/i.test(name) };
}

export class Viewport {
  constructor(element) {
    this.element = element;
    this.device = graphicsDevice();
    // "?antialias=1" (or 0) in the page's address overrides that choice.
    const asked = new URLSearchParams(window.location.search).get('antialias');
    this.antialias = asked === null ? !this.device.software : asked !== '0';
    this.renderer = new THREE.WebGLRenderer({ antialias: this.antialias });
    this.renderer.setPixelRatio(window.devicePixelRatio);
    element.append(this.renderer.domElement);
    this.scene = new THREE.Scene();
    this.scene.background = new THREE.Color(0.62, 0.74, 0.9);
    this.camera = new THREE.PerspectiveCamera(40, 1, 0.05, 5000);
    this.camera.position.set(30, 25, 40);
    this.controls = new OrbitControls(this.camera, this.renderer.domElement);
    this.controls.addEventListener('change', () => this.draw());
    this.scene.add(new THREE.HemisphereLight(0xdfeaff, 0x4a3f2a, 1.6));
    const sun = new THREE.DirectionalLight(0xfff4e0, 1.8);
    sun.position.set(40, 80, 30);
    this.scene.add(sun);
    this.ground = new THREE.Mesh(new THREE.PlaneGeometry(1, 1),
                                 new THREE.MeshLambertMaterial({ color: 0x5a4a30 }));
    this.ground.rotation.x = -Math.PI / 2;
    this.scene.add(this.ground);
    this.grass = new THREE.Group();
    this.gizmos = new THREE.Group();
    this.scene.add(this.grass, this.gizmos);
    this.material = grassMaterial();
    this.loader = new GLTFLoader();
    this.cutVertices = 0;
    this.groundSize = 0;
    this.bounds = new THREE.Box3();
    new ResizeObserver(() => this.resize()).observe(element);
    this.resize();
  }

  resize() {
    const w = this.element.clientWidth || 1, h = this.element.clientHeight || 1;
    this.renderer.setSize(w, h);
    this.camera.aspect = w / h;
    this.camera.updateProjectionMatrix();
    this.draw();
  }

  // Draws on the next animation frame, once however often it is asked for in between: the
  // software rasterizer of a machine without a graphics card takes seconds for a large lawn.
  draw() {
    if (this.drawRequest) return;
    this.drawRequest = requestAnimationFrame(() => this.drawNow());
  }

  drawNow() {
    if (this.drawRequest) cancelAnimationFrame(this.drawRequest);
    this.drawRequest = 0;
    this.renderer.render(this.scene, this.camera);
  }

  // Waits until the graphics system has really drawn the frame (reading one pixel back), so the
  // time measured is the time until the new mesh is on screen, not until it was handed over.
  finish() {
    const gl = this.renderer.getContext();
    gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(4));
  }

  // Loads the scene at `frame` with the modifiers' gizmos (a promise of their lines, fetched
  // meanwhile); resolves, once both are drawn, with where the time went.
  async load(frame, gizmos = Promise.resolve([])) {
    gizmos.catch(() => {});  // a failed glb leaves the gizmos' failure unread
    const t0 = performance.now();
    const res = await fetch(`/api/mesh.glb?frame=${frame}`);
    if (!res.ok) {
      let message = res.statusText;
      try { message = (await res.json()).error; } catch { /* not JSON */ }
      throw new Error(message);
    }
    const stats = JSON.parse(res.headers.get('X-Gramora-Stats') || '{}');
    const bytes = await res.arrayBuffer();
    const t1 = performance.now();
    const gltf = await this.loader.parseAsync(bytes, '');
    const t2 = performance.now();
    this.replace(gltf.scene);
    this.setGizmos(await gizmos);
    this.drawNow();
    this.finish();
    await nextFrame();
    const t3 = performance.now();
    // The server's share (build and export) is inside the transfer time as the page sees it.
    return { stats, bytes: bytes.byteLength, transferMs: t1 - t0 - stats.evaluateMs - stats.glbMs,
             parseMs: t2 - t1, drawMs: t3 - t2 };
  }

  replace(root) {
    for (const old of this.grass.children) old.traverse((o) => o.geometry && o.geometry.dispose());
    this.grass.clear();
    let cut = 0;
    root.traverse((o) => {
      if (!o.isMesh) return;
      o.material = this.material;
      const w = o.geometry.getAttribute('_cut');
      if (w) for (let i = 0; i < w.count; i++) if (w.getX(i) > 0) cut++;
    });
    this.cutVertices = cut;
    this.grass.add(root);
    this.bounds.setFromObject(this.grass);
    this.fitGround();
  }

  // The ground square under the grass, as large as the scene asks or a good deal larger than it.
  fitGround() {
    const empty = this.bounds.isEmpty();
    const size = empty ? new THREE.Vector3(10, 0, 10) : this.bounds.getSize(new THREE.Vector3());
    const centre = empty ? new THREE.Vector3() : this.bounds.getCenter(new THREE.Vector3());
    const side = Math.max(this.groundSize, size.x * 1.6 + 10, size.z * 1.6 + 10);
    this.ground.scale.set(side, side, 1);
    this.ground.position.set(centre.x, empty ? 0 : this.bounds.min.y - 0.01, centre.z);
  }

  // The modifiers' gizmos: world-space poly-lines from the server.
  setGizmos(lines) {
    this.gizmos.clear();
    for (const l of lines) {
      const g = new THREE.BufferGeometry().setFromPoints(l.points.map(yUp));
      const m = new THREE.LineBasicMaterial({ color: new THREE.Color(...l.color), depthTest: false });
      const line = l.closed ? new THREE.LineLoop(g, m) : new THREE.Line(g, m);
      line.renderOrder = 1;
      this.gizmos.add(line);
    }
    this.draw();
  }

  // The look of the scene's "render" section: background, ground colour and size.
  setLook(render) {
    if (!render) return;
    this.scene.background = new THREE.Color(...render.background);
    this.ground.material.color = new THREE.Color(...render.ground.color);
    this.ground.visible = render.ground.enabled;
    this.groundSize = render.ground.size;
    this.fitGround();
    this.draw();
  }

  // Points the camera as the scene's render camera does, or at everything from the front right
  // and above when the scene leaves the camera to the renderer.
  frameAll(camera) {
    if (camera) {
      this.camera.position.copy(yUp(camera.position));
      this.controls.target.copy(yUp(camera.target));
      this.camera.fov = camera.fov;
      const reach = this.camera.position.distanceTo(this.controls.target) + this.bounds.getSize(new THREE.Vector3()).length();
      this.camera.near = reach / 5000;
      this.camera.far = reach * 4;
      this.camera.updateProjectionMatrix();
      this.controls.update();
      this.draw();
      return;
    }
    if (this.bounds.isEmpty()) return;
    const centre = this.bounds.getCenter(new THREE.Vector3());
    const radius = Math.max(this.bounds.getSize(new THREE.Vector3()).length() / 2, 1);
    const dir = new THREE.Vector3(0.55, 0.5, 0.7).normalize();
    this.camera.position.copy(centre).addScaledVector(dir, radius * 2.1);
    this.camera.near = radius / 100;
    this.camera.far = radius * 20;
    this.camera.updateProjectionMatrix();
    this.controls.target.copy(centre);
    this.controls.update();
    this.draw();
  }
}
